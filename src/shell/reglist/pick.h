// TEPick, the pick list: collects the records of a register that pass a filter, lets the user
// choose one or several of them in a modal pick window (TEPickForm), and then answers which were
// chosen. Reports use it to let the user pick what to print.
//
// Using a pick list (a concrete one runs its window when it is created):
//
//     TKlassPick pick(owner, "Välj klass(er)"_w, true, TKlassPick::kAll);
//     if (pick.OkExec())
//       for (int i = 0; i < pick.Antal(); ++i) {
//         std::int32_t rec = pick.GetPickData(i);   // reads the record into its buffer
//         ...
//       }
//
// Writing one: derive, implement FormPickStr and FixtSelect (and doTheFilter to leave records
// out), and call Init() as the last step of the constructor.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "platform/ui.h"

namespace olbrax {

class TEPick {
 public:
  struct Item {
    Text text;           // at most 255 characters
    std::int32_t rec;    // the record number; negative: the item starts selected
  };

  // Stores the title (at most 255 characters), flags, owner and `param` (a record number whose
  // item starts selected; 0 for none).
  TEPick(platform::Window owner, bool sort, bool multi, std::int32_t param, std::string_view title);
  virtual ~TEPick() = default;
  TEPick(const TEPick&) = delete;
  TEPick& operator=(const TEPick&) = delete;

  // The index of the item of record `rec`, or -1.
  virtual int CheckPickItem(std::int32_t rec);
  // The record number of item `index` after reading the record into the register's buffer, or -1
  // when the index is out of range or the record is not found.
  virtual std::int32_t GetPickData(int index);
  // The index of the item of the record with key `text`, or -1.
  virtual int CheckPickStr(std::string_view text);
  // Runs the pick window when there are items; after OK only the chosen items are left.
  virtual void PickDlg();
  // True when every collected item was chosen.
  virtual bool Alla();
  // True when the record in the buffer belongs in the list. The base takes every record.
  virtual bool doTheFilter();
  // Collects the items of every record that passes the filter, in the register's order.
  virtual void InitTheListData();
  // The item text of the record in the register's buffer.
  virtual void FormPickStr(Text& text) = 0;
  // The register's Find: mode 0 exact key, 2 next, 4 back to the start, 5 record `rec`.
  virtual void FixtSelect(int mode, std::string_view key, bool& at_end, bool& found, std::int32_t& rec) = 0;

  // The number of items left (after OK: chosen).
  int Antal() const { return static_cast<int>(eitems.size()); }
  // True when the window closed with OK and something was chosen.
  bool OkExec() const { return Antal() > 0 && OkExecute; }

  const std::vector<Item>& items() const { return eitems; }
  int collected() const { return nitems; }

 protected:
  // Collects the items and runs the window; a concrete pick list calls it at the end of its
  // constructor.
  void Init();

  bool OkExecute = false;
  bool multi;
  bool sort;
  Text xname;
  platform::Window owner;
  std::vector<Item> eitems;
  int nitems = 0;
  std::int32_t param;
};

}  // namespace olbrax
