#include "competition/registers/definitions.h"

#include <cmath>
#include <string>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/register_change.h"
#include "competition/registers/register_find.h"

namespace olbrax {

namespace {

constexpr std::size_t kSortKeyMax = 14;

Text Quoted(std::string_view t) { return "\"" + Text(t) + "\""; }

Text Cut14(Text t) { return t.substr(0, kSortKeyMax); }

}  // namespace

// --- Classes -----------------------------------------------------------------------------------

void FindClassByName(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(KlassFile, 2, mode, key, 8, true, KlassRec, ClassState, ref, at_end, found);
}

void FindClassBySortKey(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(KlassFile, 1, mode, key, 14, true, KlassRec, ClassState, ref, at_end, found);
}

bool IsOpenClass(std::string_view class_name) { return IsOpenClass(class_name, InfoRec.dirklassfilter.get()); }

bool IsOpenClass(std::string_view class_name, std::string_view open_words) {
  Text words = Text(open_words) + " ";
  std::size_t at = 0;
  while (at < words.size()) {
    std::size_t sp = words.find(' ', at);
    std::string_view w(words.data() + at, sp - at);
    if (!w.empty() && class_name.substr(0, w.size()) == w) return true;
    at = sp + 1;
  }
  return false;
}

Text ClassSortKey(std::string_view held_name, std::string_view n) {
  Text key;
  if (IsOpenClass(held_name)) {
    key = Cut14("2" + Text(n));
  } else {
    key = n.find('E') != std::string_view::npos ? "0" : "1";
    if (n.substr(0, 2) == "HD") key += "2";
    else if (n.substr(0, 1) == "H") key += "0";
    else if (n.substr(0, 1) == "D") key += "1";
    else if (n.substr(0, 1) == "N") key += "0";
    else key += "3";
    std::size_t first = n.find_first_of("0123456789");
    if (first == std::string_view::npos) {
      key = Cut14("9" + Text(n));
    } else {
      std::size_t end = n.find_first_not_of("0123456789", first);
      if (end == std::string_view::npos) end = n.size();
      int v = std::stoi(std::string(n.substr(first, std::min<std::size_t>(end - first, 9))));
      int d = 100 - v;
      Text digits = std::to_string(std::abs(d));
      while (digits.size() < 3) digits = "0" + digits;
      if (d < 0) digits = "-" + digits;
      key = Cut14(key + digits);
      if (end == n.size() || static_cast<unsigned char>(n[end]) < ':') {
        while (key.size() < 6) key += '0';
      } else {
        key = Cut14(key + Text(n.substr(end)));
      }
    }
  }
  return Cut14(key + Text(n));
}

void MakeClassSortKey() { KlassRec.SortOrdn.set(ClassSortKey(KlassRec.Bet.get(), WinToDos(KlassRec.Bet.get()))); }

namespace {

const RegisterKey<TKlassRec> kClassNameKey{2, true, [](const TKlassRec& r) { return r.Bet.get(); }};
const RegisterKey<TKlassRec> kClassSortKey{1, true, [](const TKlassRec& r) { return r.SortOrdn.get(); }};
const RegisterKey<TKontrRec> kControlKey{1, true, [](const TKontrRec& r) { return r.KodNr.get(); }};
const RegisterKey<TTrackRec> kCourseKey{1, true, [](const TTrackRec& r) { return r.Bana.get(); }};

template <class Rec>
void IntoBuffer(Rec& buffer, const Rec& stored) {
  buffer = stored;
  FromStorage(buffer);
}

// A record rewritten without touching its keys, as one change.
template <class Rec>
bool RewriteRecord(FileBlock* fb, std::int32_t ref, const Rec& buffer) {
  Rec stored = buffer;
  ToStorage(stored);
  RegisterChange change;
  change.WriteRecord(fb, ref, stored);
  return change.Finish();
}

// With the order set by hand (InfoRec.mankordn) the sort key is the first four characters given
// (or the class count) followed by the class's own number.
void ManualSortKey(TKlassRec& r) {
  Text s = r.SortOrdn.get();
  Text head = s.empty() ? std::to_string(FileLen(KlassFile) - 1) : s.substr(0, 4);
  while (head.size() < 4) head = "0" + head;
  r.SortOrdn.set(Cut14(head + r.Lnr.get()));
}

}  // namespace

bool PutClass(bool adding, std::int32_t& ref) {
  TKlassRec stored = KlassRec;
  Text held = stored.Bet.get();
  ToStorage(stored);
  if (!InfoRec.mankordn) stored.SortOrdn.set(ClassSortKey(held, stored.Bet.get()));
  stored.Bet.set(StoredKey(stored.Bet.get()));
  if (InfoRec.mankordn && !adding) ManualSortKey(stored);
  auto numbered = [](TKlassRec& r, std::int32_t n) {
    r.Lnr.set(ZeroStr(n, 2));
    if (InfoRec.mankordn) ManualSortKey(r);
  };
  if (!PutRegisterRecord<TKlassRec>(KlassFile, ClassState, {kClassNameKey, kClassSortKey}, adding, ref, stored, numbered))
    return false;
  IntoBuffer(KlassRec, stored);
  return true;
}

bool RewriteClass(std::int32_t ref) { return RewriteRecord(KlassFile, ref, KlassRec); }

bool DeleteClass(bool by_ref, std::string_view name_in, std::int32_t ref, bool remove_record) {
  Text name = WinToDos(StoredKey(name_in.substr(0, std::min<std::size_t>(name_in.size(), 8))));
  if (!KlassFile) return false;
  if (!by_ref && !FindRecordForChange(KlassFile, 2, name, ref)) return false;
  if (ref <= 0 || ref >= FileLen(KlassFile)) return false;
  TKlassRec stored{};
  GetRec(KlassFile, ref, &stored);
  if (remove_record && IsamOK && stored.Count[0][0] != 0) {
    IntoBuffer(KlassRec, stored);
    ShowText(1, "Klassen " + Quoted(name) + " \xE4r inte utan deltagare!");
    isam::Fail(isam::kGeneral);
    return false;
  }
  if (!DeleteRegisterRecord(KlassFile, {kClassNameKey, kClassSortKey}, ref, remove_record, stored)) return false;
  IntoBuffer(KlassRec, stored);
  if (remove_record) {
    ClassState.changed = 1;
    ShowText(1, "Klassen " + Quoted(name) + ", raderad...");
  }
  return true;
}

// --- Controls and courses ------------------------------------------------------------------------

void FindControl(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(KontrFile, 1, mode, key, 0, true, KontrRec, ControlState, ref, at_end, found);
}

void FindCourse(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(TrackFile, 1, mode, key, 0, true, TrackRec, CourseState, ref, at_end, found);
}

bool PutControl(bool adding, std::int32_t& ref) {
  TKontrRec stored = KontrRec;
  ToStorage(stored);
  stored.KodNr.set(StoredKey(stored.KodNr.get()));
  if (!PutRegisterRecord(KontrFile, ControlState, {kControlKey}, adding, ref, stored)) return false;
  IntoBuffer(KontrRec, stored);
  return true;
}

bool RewriteControl(std::int32_t ref) { return RewriteRecord(KontrFile, ref, KontrRec); }

bool PutCourse(bool adding, std::int32_t& ref) {
  TTrackRec stored = TrackRec;
  ToStorage(stored);
  stored.Bana.set(StoredKey(stored.Bana.get()));
  if (!PutRegisterRecord(TrackFile, CourseState, {kCourseKey}, adding, ref, stored)) return false;
  IntoBuffer(TrackRec, stored);
  return true;
}

bool RewriteCourse(std::int32_t ref) { return RewriteRecord(TrackFile, ref, TrackRec); }

bool DeleteControl(bool by_ref, std::string_view code_in, std::int32_t ref, bool remove_record) {
  Text code = WinToDos(StoredKey(code_in));
  if (!KontrFile) return false;
  if (!by_ref && !FindRecordForChange(KontrFile, 1, code, ref)) return false;
  if (ref <= 0 || ref >= FileLen(KontrFile)) return false;
  if (remove_record && ref <= kMaxControlRecords && CmpClubRec.ControlUse[ref - 1] != 0) {
    ShowText(1, "Kan ej radera denna kontroll d\xE5 den anv\xE4nds av n\xE5gon bana.");
    return false;
  }
  TKontrRec stored{};
  if (!DeleteRegisterRecord(KontrFile, {kControlKey}, ref, remove_record, stored)) return false;
  IntoBuffer(KontrRec, stored);
  if (remove_record) {
    ControlState.changed = 1;
    ShowText(1, "Kontroll ,kodnr. " + Quoted(KontrRec.KodNr.get()) + ", raderad...");
  }
  return true;
}

bool DeleteCourse(bool by_ref, std::string_view name_in, std::int32_t ref, bool remove_record) {
  Text name = WinToDos(StoredKey(name_in));
  if (!TrackFile) return false;
  if (!by_ref && !FindRecordForChange(TrackFile, 1, name, ref)) return false;
  if (ref <= 0 || ref >= FileLen(TrackFile)) return false;
  TTrackRec stored{};
  if (!DeleteRegisterRecord(TrackFile, {kCourseKey}, ref, remove_record, stored)) return false;
  IntoBuffer(TrackRec, stored);
  if (remove_record) {
    // The course no longer uses its controls.
    for (int i = 0; i < std::min<int>(TrackRec.Antal, kMaxCourseControls); ++i) {
      std::int32_t c = 0;
      FindKey(KontrFile, 1, c, WinToDos(TrackRec.KodNr[i].get()));
      if (IsamOK && c >= 1 && c <= kMaxControlRecords) --CmpClubRec.ControlUse[c - 1];
    }
    CourseState.changed = 1;
    ShowText(1, "Banan " + Quoted(TrackRec.Bana.get()) + ", raderad...");
  }
  return true;
}

Text ControlExistsText(std::string_view code) {
  return "Kontrollen finns redan registrerad. " + Quoted(code) + " M\xE5ste vara unik.";
}
Text CourseExistsText(std::string_view name) {
  return "Banan finns redan registrerad. " + Quoted(name) + " M\xE5ste vara unik.";
}
Text ControlMissingText(std::string_view code) {
  return "Kontrollen finns inte registrerad. " + Quoted(code) + " Registrera kontrollen f\xF6rst.";
}

// --- Class computations -----------------------------------------------------------------------

std::int16_t ClassCapacity() {
  if (InfoRec.gLottad || InfoRec.cLottad || InfoRec.sLottad || InfoRec.Lottad) return KlassRec.maxi;
  return static_cast<std::int16_t>(KlassRec.maxi - KlassRec.vakanser);
}

static std::int32_t ClassTime(std::int32_t km_time) {
  int s = std::clamp<int>(InfoRec.DagStr, 1, 5);
  int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  std::int32_t length = KlassRec.BanSize[s - 1][d];
  return length == 0 ? km_time : (length / 1000) * km_time + 1;
}

std::int32_t ClassTimeA() { return ClassTime(KlassRec.minKmTid); }
std::int32_t ClassTimeB() { return ClassTime(KlassRec.maxKmTid); }

std::int32_t EntrantPace() {
  int s = std::clamp<int>(InfoRec.DagStr, 1, 5);
  int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  std::int32_t length = KlassRec.BanSize[s - 1][d];
  if (length < 1001) return 60;
  return static_cast<std::int32_t>(std::lround(static_cast<double>(EntrantRec.RunTime[s][d]) / length * 1000.0));
}

}  // namespace olbrax
