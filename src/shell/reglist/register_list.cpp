#include "shell/reglist/register_list.h"

#include <algorithm>

#include "base/messages.h"
#include "base/version.h"
#include "competition/dialogs/edit_form.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"
#include "printing/config/configuration.h"
#include "printing/engine/job_from_config.h"
#include "printing/engine/print_engine.h"
#include "storage/isam_status.h"

namespace olbrax {

namespace {

constexpr std::string_view kRegisterFull = "maxantalet uppnått kan ej addera registerpost!"_w;

// Sort weight of a character: letters by their capital, the Swedish Å Ä Ö after Z (Æ and Ø as
// Ä and Ö), É as E and Ü as Y.
int Weight(unsigned char c) {
  unsigned char u = UpChar(c);
  switch (u) {
    case 0xC5: return 'Z' * 4 + 1;             // Å
    case 0xC4: case 0xC6: return 'Z' * 4 + 2;  // Ä Æ
    case 0xD6: case 0xD8: return 'Z' * 4 + 3;  // Ö Ø
    case 0xC9: return 'E' * 4;                 // É
    case 0xDC: return 'Y' * 4;                 // Ü
    default: return u * 4;
  }
}

}  // namespace

int FailureCode() { return !IsamOK && IsamErrorClass() != 1 ? IsamError : 0; }

bool ListTextLess(std::string_view a, std::string_view b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int wa = Weight(static_cast<unsigned char>(a[i])), wb = Weight(static_cast<unsigned char>(b[i]));
    if (wa != wb) return wa < wb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  // Texts that differ only in letter case keep a fixed order.
  return a < b;
}

TERegFormDlg::TERegFormDlg(platform::Window owner, std::string_view name, std::string_view caption_in)
    : caption(caption_in) {
  platform::ListWindowSpec spec;
  spec.owner = owner;
  spec.name = name;
  spec.caption = caption;
  spec.multi = multi;
  window_ = platform::CurrentUi().CreateListWindow(spec, *this);
}

TERegFormDlg::~TERegFormDlg() = default;

void TERegFormDlg::Execute() {
  window_->Run();
}

// --- The list ----------------------------------------------------------------------------------

void TERegFormDlg::Fill() {
  PushCursor();
  platform::CurrentUi().SetCursor(platform::Cursor::Wait);
  ClearLines();
  std::int32_t rec = 0;
  bool at_end = false, found = false;
  FixtSelect(kFindReset, "", at_end, found, rec);
  // The walk ends at the end of the index ("not found"); any other failure on the way is one the
  // user must hear of, or the list would look complete when it is not.
  int failure = FailureCode();
  // A register holds at most a few thousand records; the bound only stops a damaged index that
  // leads round in a circle.
  for (int guard = 0; guard < 1000000; ++guard) {
    FixtSelect(kFindNext, "", at_end, found, rec);
    if (!failure) failure = FailureCode();
    if (at_end) break;
    if (found) AddLine(rec);
  }
  if (failure) ShowText(201, MsgText(failure));
  ShowMsgLine();
  PopCursor();
}

int TERegFormDlg::AddLine(std::int32_t rec) {
  Line line;
  FormRegStr(line.text);
  line.therec = std::make_unique<Ttherec>(rec);
  auto at = std::upper_bound(lines_.begin(), lines_.end(), line.text,
                             [](const Text& t, const Line& l) { return ListTextLess(t, l.text); });
  int index = static_cast<int>(at - lines_.begin());
  window_->InsertLine(index, line.text);
  lines_.insert(at, std::move(line));
  if (focused_ >= index) ++focused_;
  return index;
}

void TERegFormDlg::RemoveLine(int index) {
  lines_.erase(lines_.begin() + index);
  window_->RemoveLine(index);
  if (focused_ == index) focused_ = -1;
  else if (focused_ > index) --focused_;
}

void TERegFormDlg::ClearLines() {
  while (!lines_.empty()) RemoveLine(LineCount() - 1);
}

void TERegFormDlg::Select(int index, bool on) {
  lines_[static_cast<std::size_t>(index)].selected = on;
  window_->SetSelected(index, on);
}

void TERegFormDlg::Focus(int index) {
  focused_ = index;
  window_->SetFocused(index);
}

void TERegFormDlg::Reload(const std::vector<std::int32_t>& selected, std::int32_t focus) {
  Fill();
  for (int i = 0; i < LineCount(); ++i) {
    const std::int32_t rec = LineRec(i);
    if (std::find(selected.begin(), selected.end(), rec) != selected.end()) Select(i, true);
    if (rec == focus) Focus(i);
  }
}

void TERegFormDlg::SetSelection(const std::vector<int>& selected, int focused) {
  for (Line& l : lines_) l.selected = false;
  for (int i : selected)
    if (i >= 0 && i < LineCount()) lines_[static_cast<std::size_t>(i)].selected = true;
  focused_ = focused < LineCount() ? focused : -1;
  // Clicking a line: the number of lines and of selected lines.
  SetStatus(IntStr(LineCount(), 4) + " [" + IntStr(static_cast<long long>(selected.size()), 4) + "]");
}

void TERegFormDlg::SetStatus(std::string_view text) {
  status_ = text;
  window_->SetStatus(text);
}

void TERegFormDlg::ShowMsgLine() {
  if (MsgLine == shown_msg_) return;
  shown_msg_ = MsgLine;
  SetStatus(MsgLine);
}

void TERegFormDlg::StorageFailed(int reported) {
  // The engine's message first, unless the register layer has shown it: reading the register
  // again replaces the engine's status.
  if (!IsamOK && ReportedStorageFailures() == reported) {
    MsgLine = MsgText(IsamError);
    ShowMsg(201);
  }
  // Whatever the failed call left, the list shows the register as it now is.
  Fill();
  ShowMsgLine();
}

// --- The operations ----------------------------------------------------------------------------

void TERegFormDlg::EditEntry(bool add) {
  int index = -1;
  std::int32_t rec = 0;
  if (add) {
    if (CheckBeforeAdding()) {
      BeepSignal();
      SetStatus(kRegisterFull);
      return;
    }
  } else {
    if (multi) {
      for (int i = 0; i < LineCount() && index < 0; ++i)
        if (Selected(i)) index = i;
    } else {
      index = focused_;
    }
    if (index < 0 || index >= LineCount()) return;
    rec = LineRec(index);
    bool at_end = false, found = false;
    FixtSelect(kFindRecord, LineText(index), at_end, found, rec);
    if (!found) return;
  }
  DoTheDialog(add, index, rec);
  window_->Repaint();
  ShowMsgLine();
}

bool TERegFormDlg::EditShape(bool add, int index, std::int32_t& rec, EditForm& form) {
  // The edit is one change, from taking the record's keys away (so that the window's checks do
  // not find the record itself) to storing what OK accepted: a crash or a failure while the
  // window is open leaves the record as it was, with its keys, and Cancel rolls it back.
  const int reported = ReportedStorageFailures();
  RegisterChange edit;
  if (!add && !DelRecSelect(kFindRecord, "", false, rec)) {
    edit.Finish();
    StorageFailed(reported);
    return false;
  }
  const bool ok = ShowEditWindow(Handle(), form);
  if (!ok) {
    edit.Rollback();
    return false;
  }
  // A store that refused (a full register) or failed leaves the record as it was.
  if (!AddRecSelect(add, rec)) {
    edit.Rollback();
    StorageFailed(reported);
    return false;
  }
  if (!edit.Finish()) {
    StorageFailed(reported);
    return false;
  }
  // The stored record's line replaces the old one, focused and selected; adding unselects the
  // other lines, changing keeps their selection.
  std::vector<std::int32_t> selected;
  if (!add)
    for (int i = 0; i < LineCount(); ++i)
      if (Selected(i) && i != index) selected.push_back(LineRec(i));
  selected.push_back(rec);
  Reload(selected, rec);
  return true;
}

int TERegFormDlg::EraseEntry() {
  if (std::none_of(lines_.begin(), lines_.end(), [](const Line& l) { return l.selected; }))
    return kEraseNothingSelected;
  int result = 1;
  std::vector<std::int32_t> kept;
  for (int i = 0; i < LineCount(); ++i) {
    if (!Selected(i)) continue;
    std::int32_t rec = LineRec(i);
    bool at_end = false, found = false;
    FixtSelect(kFindRecord, LineText(i), at_end, found, rec);
    if (!found || !CheckBeforeDeleting()) {
      Select(i, false);
      continue;
    }
    const int reported = ReportedStorageFailures();
    if (!DelRecSelect(kFindRecord, "", true, rec)) {
      StorageFailed(reported);
      return 0;
    }
    // The data layer may refuse with a message (a control that a course uses): the record is
    // then still there, and its line stays selected so that the user sees which was kept.
    FixtSelect(kFindRecord, "", at_end, found, rec);
    if (found) {
      result = 0;
      kept.push_back(rec);
    }
  }
  std::int32_t focus = focused_ >= 0 ? LineRec(focused_) : 0;
  Reload(kept, focus);
  ShowMsgLine();
  return result;
}

bool TERegFormDlg::CheckBeforeAdding() { return true; }

bool TERegFormDlg::CheckBeforeDeleting() { return true; }

void TERegFormDlg::FormPrintStr(Text& line) { FormRegStr(line); }

bool TERegFormDlg::StartPrint() {
  Text title = Text(kProgramVersion) + kPortTag + ": " + caption;
  return print::printerinit(title, print::JobFromEnvironment(CurrentPrintEnvironment), Handle());
}

void TERegFormDlg::StopPrint() { print::printerexit(0, 0); }

void TERegFormDlg::DoThePrint(int i, int n) {
  Text line;
  FormPrintStr(line);
  print::NeedLines("", 1);
  print::PrintLine(line);
}

void TERegFormDlg::Print() {
  if (std::none_of(lines_.begin(), lines_.end(), [](const Line& l) { return l.selected; })) return;
  if (StartPrint()) {
    const int n = LineCount();
    for (int i = 0; i < n && !print::PrAborted(); ++i) {
      if (!Selected(i)) continue;
      std::int32_t rec = LineRec(i);
      bool at_end = false, found = false;
      FixtSelect(kFindRecord, LineText(i), at_end, found, rec);
      if (found) DoThePrint(i + 1, n);
    }
  }
  StopPrint();
}

}  // namespace olbrax
