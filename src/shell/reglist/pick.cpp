#include "shell/reglist/pick.h"

#include "base/messages.h"
#include "competition/registers/register_find.h"
#include "shell/reglist/register_list.h"
#include "storage/isam_status.h"

namespace olbrax {

namespace {
constexpr std::size_t kTextMax = 255;
}

TEPick::TEPick(platform::Window owner_in, bool sort_in, bool multi_in, std::int32_t param_in, std::string_view title)
    : multi(multi_in), sort(sort_in), xname(Cut(title, kTextMax)), owner(owner_in), param(param_in) {}

void TEPick::Init() {
  OkExecute = false;
  nitems = 0;
  eitems.clear();
  InitTheListData();
  PickDlg();
}

void TEPick::InitTheListData() {
  PushCursor();
  platform::CurrentUi().SetCursor(platform::Cursor::Wait);
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FixtSelect(kFindReset, "", at_end, found, rec);
  int failure = FailureCode();
  for (int guard = 0; guard < 1000000; ++guard) {
    FixtSelect(kFindNext, "", at_end, found, rec);
    if (!failure) failure = FailureCode();
    if (at_end) break;
    if (!found || !doTheFilter()) continue;
    Item item{Text(), rec};
    FormPickStr(item.text);
    item.text = Cut(item.text, kTextMax);
    eitems.push_back(std::move(item));
    ++nitems;
  }
  // A list that misses records because a read failed must not look complete.
  if (failure) ShowText(201, MsgText(failure));
  PopCursor();
}

bool TEPick::doTheFilter() { return true; }

void TEPick::PickDlg() {
  if (nitems <= 0) return;
  platform::PickWindowSpec spec;
  spec.owner = owner;
  spec.caption = xname;
  spec.multi = multi;
  spec.sort = sort;
  for (Item& item : eitems) {
    spec.items.push_back(item.text);
    bool preselected = item.rec == param || item.rec < 0;
    if (item.rec < 0) item.rec = -item.rec;
    spec.selected.push_back(preselected);
  }
  OkExecute = platform::CurrentUi().RunPickWindow(spec);
  if (!OkExecute) return;
  // The window answers by position, so two items with the same text stay apart.
  std::vector<Item> chosen;
  for (std::size_t i = 0; i < eitems.size(); ++i)
    if (i < spec.selected.size() && spec.selected[i]) chosen.push_back(std::move(eitems[i]));
  eitems = std::move(chosen);
}

bool TEPick::Alla() { return Antal() == nitems; }

int TEPick::CheckPickItem(std::int32_t rec) {
  for (std::size_t i = 0; i < eitems.size(); ++i)
    if (eitems[i].rec == rec) return static_cast<int>(i);
  return -1;
}

std::int32_t TEPick::GetPickData(int index) {
  if (index < 0 || index >= Antal()) return -1;
  std::int32_t rec = eitems[static_cast<std::size_t>(index)].rec;
  bool at_end = false, found = false;
  FixtSelect(kFindRecord, eitems[static_cast<std::size_t>(index)].text, at_end, found, rec);
  return found ? rec : -1;
}

int TEPick::CheckPickStr(std::string_view text) {
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FixtSelect(kFindExact, text, at_end, found, rec);
  return found ? CheckPickItem(rec) : -1;
}

}  // namespace olbrax
