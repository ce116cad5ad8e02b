// The ids that arrived in IOF XML messages, kept in the competition's file IOFIDnn
// (competition/records/iof_id_rec.h has its layout).
//
// The file is opened for one import or export and read whole into memory (a competition has a
// few thousand ids at most). An import writes each id in the same storage transaction as the
// record it belongs to; the copy in memory follows only once that transaction is committed
// (Settle), so a record that was taken back leaves no id behind, neither on disk nor in memory.
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
  // After the caller's transaction: `committed` makes the entries put since the last Settle
  // count, otherwise they are forgotten.
  void Settle(bool committed);

 private:
  struct Stored {
    IdEntry entry;
    std::int32_t ref = 0;
  };
  FileBlock* fb_ = nullptr;
  std::map<std::pair<char, Text>, Stored> by_local_;
  std::map<std::pair<char, std::string>, Text> by_id_;  // → local
  std::vector<Stored> pending_;
};

}  // namespace olbrax::iof
