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

void PutClass(bool adding, std::int32_t& ref) {
  Text held = KlassRec.Bet.get();
  ToStorage(KlassRec);
  if (!InfoRec.mankordn) KlassRec.SortOrdn.set(ClassSortKey(held, KlassRec.Bet.get()));
  if (adding) {
    KlassRec.DataStatus = 0;
    AddRec(KlassFile, ref, &KlassRec);
    if (!IsamOK) return FromStorage(KlassRec);
    KlassRec.Lnr.set(ZeroStr(ref, 2));
    ClassState.last_found = ref;
    ClassState.changed = 1;
  }
  if (KlassRec.Bet.empty()) KlassRec.Bet.set("XXX");
  if (InfoRec.mankordn) {
    Text s = KlassRec.SortOrdn.get();
    Text head = s.empty() ? std::to_string(FileLen(KlassFile) - 1) : s.substr(0, 4);
    while (head.size() < 4) head = "0" + head;
    KlassRec.SortOrdn.set(Cut14(head + KlassRec.Lnr.get()));
  }
  PutRec(KlassFile, ref, &KlassRec);
  AddKey(KlassFile, 2, ref, KlassRec.Bet.get());
  AddKey(KlassFile, 1, ref, KlassRec.SortOrdn.get());
  FromStorage(KlassRec);
}

void RewriteClass(std::int32_t ref) {
  ToStorage(KlassRec);
  PutRec(KlassFile, ref, &KlassRec);
  FromStorage(KlassRec);
}

void DeleteClass(bool by_ref, std::string_view name_in, std::int32_t ref, bool remove_record) {
  Text name = WinToDos(name_in.substr(0, std::min<std::size_t>(name_in.size(), 8)));
  if (!KlassFile) return;
  if (!by_ref) {
    FindKey(KlassFile, 2, ref, name);
    if (!IsamOK) ref = 0;
  }
  if (ref <= 0 || ref >= FileLen(KlassFile)) return;
  GetRec(KlassFile, ref, &KlassRec);
  if (remove_record && KlassRec.Count[0][0] != 0) {
    FromStorage(KlassRec);
    ShowText(1, "Klassen " + Quoted(name) + " \xE4r inte utan deltagare!");
    isam::Fail(isam::kGeneral);
    return;
  }
  DeleteKey(KlassFile, 2, ref, KlassRec.Bet.get());
  DeleteKey(KlassFile, 1, ref, KlassRec.SortOrdn.get());
  FromStorage(KlassRec);
  if (remove_record) {
    DeleteRec(KlassFile, ref);
    ClassState.changed = 1;
    ShowText(1, "Klassen " + Quoted(name) + ", raderad...");
  }
}

// --- Controls and courses ------------------------------------------------------------------------

void FindControl(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(KontrFile, 1, mode, key, 0, true, KontrRec, ControlState, ref, at_end, found);
}

void FindCourse(int mode, std::string_view key, std::int32_t& ref, bool& at_end, bool& found) {
  FindIn(TrackFile, 1, mode, key, 0, true, TrackRec, CourseState, ref, at_end, found);
}

void PutControl(bool adding, std::int32_t& ref) {
  ToStorage(KontrRec);
  if (adding) {
    KontrRec.DataStatus = 0;
    AddRec(KontrFile, ref, &KontrRec);
    if (!IsamOK) return FromStorage(KontrRec);
    ControlState.changed = 1;
    ControlState.last_found = ref;
  }
  if (KontrRec.KodNr.empty()) KontrRec.KodNr.set("XXX");
  PutRec(KontrFile, ref, &KontrRec);
  AddKey(KontrFile, 1, ref, KontrRec.KodNr.get());
  FromStorage(KontrRec);
}

void RewriteControl(std::int32_t ref) {
  ToStorage(KontrRec);
  PutRec(KontrFile, ref, &KontrRec);
  FromStorage(KontrRec);
}

void PutCourse(bool adding, std::int32_t& ref) {
  ToStorage(TrackRec);
  if (adding) {
    TrackRec.DataStatus = 0;
    AddRec(TrackFile, ref, &TrackRec);
    if (!IsamOK) return FromStorage(TrackRec);
    CourseState.changed = 1;
    CourseState.last_found = ref;
  }
  if (TrackRec.Bana.empty()) TrackRec.Bana.set("XXX");
  PutRec(TrackFile, ref, &TrackRec);
  AddKey(TrackFile, 1, ref, TrackRec.Bana.get());
  FromStorage(TrackRec);
}

void RewriteCourse(std::int32_t ref) {
  ToStorage(TrackRec);
  PutRec(TrackFile, ref, &TrackRec);
  FromStorage(TrackRec);
}

void DeleteControl(bool by_ref, std::string_view code_in, std::int32_t ref, bool remove_record) {
  Text code = WinToDos(code_in);
  if (!KontrFile) return;
  if (!by_ref) {
    FindKey(KontrFile, 1, ref, code);
    if (!IsamOK) ref = 0;
  }
  if (ref <= 0 || ref >= FileLen(KontrFile)) return;
  if (remove_record && ref <= kMaxControlRecords && CmpClubRec.ControlUse[ref - 1] != 0) {
    ShowText(1, "Kan ej radera denna kontroll d\xE5 den anv\xE4nds av n\xE5gon bana.");
    return;
  }
  GetRec(KontrFile, ref, &KontrRec);
  DeleteKey(KontrFile, 1, ref, by_ref ? KontrRec.KodNr.get() : code);
  FromStorage(KontrRec);
  if (remove_record) {
    DeleteRec(KontrFile, ref);
    ControlState.changed = 1;
    ShowText(1, "Kontroll ,kodnr. " + Quoted(KontrRec.KodNr.get()) + ", raderad...");
  }
}

void DeleteCourse(bool by_ref, std::string_view name_in, std::int32_t ref, bool remove_record) {
  Text name = WinToDos(name_in);
  if (!TrackFile) return;
  if (!by_ref) {
    FindKey(TrackFile, 1, ref, name);
    if (!IsamOK) ref = 0;
  }
  if (ref <= 0 || ref >= FileLen(TrackFile)) return;
  GetRec(TrackFile, ref, &TrackRec);
  DeleteKey(TrackFile, 1, ref, by_ref ? TrackRec.Bana.get() : name);
  FromStorage(TrackRec);
  if (remove_record) {
    // The course no longer uses its controls.
    for (int i = 0; i < std::min<int>(TrackRec.Antal, kMaxCourseControls); ++i) {
      std::int32_t c = 0;
      FindKey(KontrFile, 1, c, WinToDos(TrackRec.KodNr[i].get()));
      if (IsamOK && c >= 1 && c <= kMaxControlRecords) --CmpClubRec.ControlUse[c - 1];
    }
    DeleteRec(TrackFile, ref);
    CourseState.changed = 1;
    ShowText(1, "Banan " + Quoted(TrackRec.Bana.get()) + ", raderad...");
  }
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
