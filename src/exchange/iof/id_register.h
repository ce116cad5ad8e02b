// The ids that arrived in IOF XML messages, kept in the competition's file IOFIDnn
// (competition/records/iof_id_rec.h has its layout).
//
// The file is opened for one import or export and read whole into memory (a competition has a
// few thousand ids at most). An import writes each id in the same storage transaction as the
// record it belongs to. The copy in memory follows at once, so that the records after it in the
// same transaction find it, and keeps what it replaced until the transaction ends (Settle): a
// transaction that was taken back leaves no id behind, neither on disk nor in memory.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/text.h"
#include "competition/records/iof_id_rec.h"

namespace olbrax {
struct FileBlock;
}

namespace olbrax::iof {

enum IdKind : char {
  kIdClub = 'O',
  kIdClass = 'C',
  kIdControl = 'K',
  kIdCourse = 'B',
  kIdPerson = 'P',
  kIdTeam = 'T',
  kIdMember = 'M',
};

struct IdEntry {
  char kind = 0;
  Text local;             // the program's key (Windows-1252)
  std::string id;         // UTF-8
  std::string extra;      // UTF-8
  std::string full_name;  // UTF-8
  Text check;             // Windows-1252
};

// The local key of an entrant (its record number) and of one leg of a team.
Text EntrantLocal(std::int32_t ref);
Text MemberLocal(std::int32_t ref, int leg);

class IdRegister {
 public:
  IdRegister() = default;
  ~IdRegister();
  IdRegister(const IdRegister&) = delete;
  IdRegister& operator=(const IdRegister&) = delete;

  // Opens IOFIDnn of the current competition (made when a competition from before the ids has
  // none) and reads it. False when it cannot be opened or read: the user has been shown why.
  bool Open();
  void Close();
  bool IsOpen() const { return fb_ != nullptr; }

  const IdEntry* ByLocal(char kind, std::string_view local) const;
  const IdEntry* ById(char kind, std::string_view id) const;

  // Stores the entry for (kind, local), replacing the one there was, as a step inside the
  // caller's transaction. False when the engine failed (the user has been shown why).
  bool Put(const IdEntry& entry);
  // After the caller's transaction: `committed` keeps the entries put since the last Settle,
  // otherwise the entries they replaced come back.
  void Settle(bool committed);

 private:
  struct Stored {
    IdEntry entry;
    std::int32_t ref = 0;
  };
  FileBlock* fb_ = nullptr;
  std::map<std::pair<char, Text>, Stored> by_local_;
  std::map<std::pair<char, std::string>, Text> by_id_;  // → local
  // What each Put since the last Settle replaced, oldest first: the entry of its (kind, local)
  // before it, and the local its id named before it, if any.
  struct Replaced {
    std::pair<char, Text> local;
    std::optional<Stored> before;
    std::pair<char, std::string> id;
    std::optional<Text> id_before;
  };
  std::vector<Replaced> undo_;
  void Forget(const std::pair<char, Text>& local);
};

}  // namespace olbrax::iof
