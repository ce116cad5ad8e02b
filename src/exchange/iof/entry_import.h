// Storing the person and team entries of an IOF EntryList as entrants, with the rules of the
// program's own entrant import: a club not found is added ("Klubben ej definierad!!"), a class
// not found is asked for ("Klassen ej definierad..." … " Addera person."), the entrant counts
// into its class's entry counter, gets its start time from the class's rules (the message gives
// none) and the first free start number from the entrant file's length up, and the limit of
// 3 200 entrants holds. Names are stored as the program stores them (upper case, given name
// first); the message's names, ids and control cards are kept in the id file.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/text.h"

namespace olbrax::iof {

class IdRegister;

struct PersonItem {
  std::string id, given, family, card;
  int leg = 0;  // team members: the leg, 1..
};

struct EntryItem {
  bool team = false;
  std::string entry_id, team_name;
  std::string org_id, org_name;
  std::string class_id, class_name;
  std::vector<PersonItem> members;  // a person entry has one
};

class EntryImport {
 public:
  using ReportFn = std::function<void(std::string_view text, int added, int modified)>;
  EntryImport(IdRegister& ids, std::set<std::pair<char, std::string>>& logged, ReportFn report)
      : ids_(ids), logged_(logged), report_(std::move(report)) {}
  // False when a register limit ends the file.
  bool Import(const EntryItem& e);
  bool complete() const { return complete_; }

 private:
  IdRegister& ids_;
  std::set<std::pair<char, std::string>>& logged_;
  ReportFn report_;
  bool complete_ = true;
};

}  // namespace olbrax::iof
