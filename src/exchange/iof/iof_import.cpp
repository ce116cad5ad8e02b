#include "exchange/iof/iof_import.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <cmath>
#include <memory>
#include <set>
#include <string>

#include "base/counter.h"
#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/exchange_format.h"
#include "exchange/iof/entry_import.h"
#include "exchange/iof/id_register.h"
#include "exchange/iof/iof_text.h"
#include "exchange/iof/name_mapping.h"
#include "exchange/iof/record_transaction.h"
#include "exchange/iof/xml_reader.h"
#include "printing/engine/log_printer.h"

namespace olbrax::iof {

namespace {

IofImportStatus g_status;

void Log(std::string_view line) {
  print::LogEnsureOpen();
  print::LogLine(line);
}

// --- The message as read ------------------------------------------------------------------------

struct OrgItem {
  std::string id, name, short_name;
};
struct ClassItem {
  std::string id, name;
  int legs = 0;
};
struct ControlItem {
  std::string id, type;
  bool has_position = false;
  double x = 0, y = 0;
};
struct CourseItem {
  std::string id, name, start, finish;
  double length = 0, climb = 0;
  std::vector<std::string> controls;
};
struct AssignmentItem {
  std::string class_id, class_name, course_name;
  std::vector<int> legs;
};

struct Message {
  IofMessage info;
  int race = 0;  // raceNumber of the CourseData used
  std::vector<OrgItem> orgs;
  std::vector<ClassItem> classes;
  std::vector<ControlItem> controls;
  std::vector<CourseItem> courses;
  std::vector<AssignmentItem> assignments;
  std::vector<EntryItem> entries;
};

OrgItem ReadOrg(const XmlElement& e) { return {e.ChildText("Id"), e.ChildText("Name"), e.ChildText("ShortName")}; }

ClassItem ReadClass(const XmlElement& e) {
  return {e.ChildText("Id"), e.ChildText("Name"), static_cast<int>(e.All("Leg").size())};
}

int IntOf(const std::string& s, int invalid = 0) {
  try {
    std::size_t used = 0;
    long v = std::stol(s, &used);
    return used == s.size() && v >= -1000000000L && v <= 1000000000L ? static_cast<int>(v) : invalid;
  } catch (...) {
    return invalid;
  }
}

double DoubleOf(const std::string& s) {
  // xsd:double is written with "." whatever the locale: from_chars reads it so.
  double v = 0;
  auto first = s.data(), last = s.data() + s.size();
  auto [end, ec] = std::from_chars(first, last, v);
  return ec == std::errc() && end == last && std::isfinite(v) ? v : 0.0;
}

PersonItem ReadPerson(const XmlElement* person) {
  PersonItem p;
  if (!person) return p;
  p.id = person->ChildText("Id");
  if (const XmlElement* name = person->Child("Name")) {
    p.given = name->ChildText("Given");
    p.family = name->ChildText("Family");
  }
  return p;
}

void ReadRaceCourseData(const XmlElement& e, Message& m) {
  for (const XmlElement& c : e.children) {
    if (c.name == "Control") {
      ControlItem item{c.ChildText("Id"), c.Attribute("type")};
      if (item.type.empty()) item.type = "Control";
      if (const XmlElement* pos = c.Child("MapPosition")) {
        item.has_position = true;
        item.x = DoubleOf(pos->Attribute("x"));
        item.y = DoubleOf(pos->Attribute("y"));
      }
      m.controls.push_back(item);
    } else if (c.name == "Course") {
      CourseItem item{c.ChildText("Id"), c.ChildText("Name"), "", "", DoubleOf(c.ChildText("Length")),
                      DoubleOf(c.ChildText("Climb")), {}};
      for (const XmlElement* cc : c.All("CourseControl")) {
        std::string type = cc->Attribute("type");
        std::string id = cc->ChildText("Control");
        if (type == "Start") item.start = id;
        else if (type == "Finish") item.finish = id;
        else item.controls.push_back(id);
      }
      m.courses.push_back(item);
    } else if (c.name == "ClassCourseAssignment") {
      AssignmentItem item{c.ChildText("ClassId"), c.ChildText("ClassName"), c.ChildText("CourseName"), {}};
      for (const XmlElement* leg : c.All("AllowedOnLeg")) item.legs.push_back(IntOf(leg->text));
      m.assignments.push_back(item);
    }
  }
}

void ReadRecord(const XmlElement& e, Message& m) {
  const std::string& root = m.info.root;
  if (root == "OrganisationList" && e.name == "Organisation") {
    m.orgs.push_back(ReadOrg(e));
  } else if (root == "ClassList" && e.name == "Class") {
    m.classes.push_back(ReadClass(e));
  } else if (root == "CourseData" && e.name == "RaceCourseData") {
    // One race of a multi-race event: the first one read, or the one of the stage worked on.
    int race = IntOf(e.Attribute("raceNumber"));
    int stage = std::clamp<int>(InfoRec.DagStr, 1, 5);
    if (m.race == 0 || (race == stage && m.race != stage)) {
      m.controls.clear();
      m.courses.clear();
      m.assignments.clear();
      m.race = race == 0 ? -1 : race;
      ReadRaceCourseData(e, m);
    }
  } else if (root == "EntryList" && (e.name == "PersonEntry" || e.name == "TeamEntry")) {
    EntryItem item;
    item.team = e.name == "TeamEntry";
    item.entry_id = e.ChildText("Id");
    if (const XmlElement* org = e.Child("Organisation")) {
      item.org_id = org->ChildText("Id");
      item.org_name = org->ChildText("Name");
    }
    if (const XmlElement* cls = e.Child("Class")) {
      item.class_id = cls->ChildText("Id");
      item.class_name = cls->ChildText("Name");
    }
    if (item.team) {
      item.team_name = e.ChildText("Name");
      for (const XmlElement* member : e.All("TeamEntryPerson")) {
        PersonItem p = ReadPerson(member->Child("Person"));
        p.leg = IntOf(member->ChildText("Leg"));
        p.card = member->ChildText("ControlCard");
        if (item.org_name.empty())
          if (const XmlElement* org = member->Child("Organisation")) {
            item.org_id = org->ChildText("Id");
            item.org_name = org->ChildText("Name");
          }
        item.members.push_back(p);
      }
    } else {
      PersonItem p = ReadPerson(e.Child("Person"));
      p.card = e.ChildText("ControlCard");
      item.members.push_back(p);
    }
    m.entries.push_back(item);
  }
}

// --- Storing ------------------------------------------------------------------------------------

class FileImport {
 public:
  FileImport(platform::Window owner, const Message& m) : owner_(owner), m_(m) {}
  // False when the user cancelled.
  bool Run();
  int added() const { return added_; }
  int modified() const { return modified_; }
  int records() const { return records_; }

 private:
  void Report(std::string_view text, int added, int modified);
  void Refused(std::string_view text, std::string_view why);
  void Full(std::string_view why);
  Converted Name(std::string_view utf8);
  void LogMapping(char kind, const std::string& full, const Text& mapped, std::string_view what);
  // Runs `body` as one transaction; its ids count once it is committed.
  template <class F>
  bool Atomically(F&& body);

  Text ClassFor(const std::string& id, const std::string& name, bool& found, std::int32_t& ref);
  Text ControlCodeFor(const std::string& id);

  void ImportOrg(const OrgItem& o);
  void ImportClass(const ClassItem& c);
  void ImportControl(const ControlItem& c);
  void ImportCourse(const CourseItem& c);
  void ImportAssignment(const AssignmentItem& a);

  platform::Window owner_;
  const Message& m_;
  IdRegister ids_;
  int added_ = 0, modified_ = 0, records_ = 0;
  bool stop_ = false;
  std::set<std::pair<char, std::string>> logged_;
  std::map<std::string, Text> control_codes_;  // control id of this message → code
  std::set<Text> codes_given_;
};

void FileImport::Report(std::string_view text, int added, int modified) {
  added_ += added;
  modified_ += modified;
  CounterLine(2, "Add: " + ZeroStr(added_, 4) + " Mod: " + ZeroStr(modified_, 4));
  Text t(text);
  if (added == 0 && modified == 0) t += "..felaktig!!";
  CounterLine(3, t);
}

void FileImport::Refused(std::string_view text, std::string_view why) {
  MsgLine = Cut(why, kMsgLineMax);
  ShowMsg(1);
  Log("     " + Text(why));
  Report(text, 0, 0);
  g_status.complete = false;
}

void FileImport::Full(std::string_view why) {
  MsgLine = Text(why);
  ShowMsg(1);
  Log("     " + MsgLine);
  stop_ = true;
  g_status.complete = false;
}

Converted FileImport::Name(std::string_view utf8) {
  Converted c = FromXml(utf8);
  if (c.replaced && logged_.insert({'?', std::string(utf8)}).second)
    Log("     Tecken som saknas i teckentabellen ersatta: \"" + c.text + "\"");
  return c;
}

void FileImport::LogMapping(char kind, const std::string& full, const Text& mapped, std::string_view what) {
  if (!logged_.insert({kind, full}).second) return;
  Log("     " + Text(what) + " \"" + FromXml(full).text + "\" sparas som \"" + mapped + "\" (hela namnet beh\xE5lls f\xF6r export)");
}

template <class F>
bool FileImport::Atomically(F&& body) {
  if (StoreAsOne(ids_, body)) return true;
  g_status.complete = false;
  Log("     " + MsgLine);
  return false;
}

void FileImport::ImportOrg(const OrgItem& o) {
  Converted name = Name(o.name);
  if (name.text.empty()) return Refused("Klubb utan namn", "Klubb utan namn (id \"" + FromXml(o.id).text + "\") importeras inte");
  Text stored = StoredKey(UpStr(name.text).substr(0, kClubNameWidth));
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  const IdEntry* known = o.id.empty() ? nullptr : ids_.ById(kIdClub, o.id);
  if (known) FindClub(kFindExact, known->local, ref, at_end, found);
  if (!found) {
    // The club is looked up as the program's own import does: the first name from the stored form
    // on, which must contain it.
    FindClub(kFindFrom, stored, ref, at_end, found);
    found = found && ClubRec.ClubName.get().find(stored) != Text::npos;
  }
  if (!found) {
    if (FileLen(ClubFile) - 1 >= kMaxClubs) return Full("Max antal klubbar uppn\xE5tt kan ej addera!");
    ClearClub();
    ClubRec.ClubName.set(stored);
    ref = 0;
  }
  if (UpStr(name.text).size() > kClubNameWidth) LogMapping(kIdClub, o.name, stored, "Klubbnamnet");
  Converted short_name = Name(o.short_name);
  if (!short_name.text.empty()) ClubRec.ClubCode.set(short_name.text.substr(0, 3));
  if (ClubRec.ClubNumber == 0 && !o.id.empty() && IntOf(o.id, -1) > 0) ClubRec.ClubNumber = IntOf(o.id);
  Text text = DisplayName(false, ClubRec.ClubName.get());
  bool ok = Atomically([&] {
    if (!PutClub(!found, ref)) return false;
    if (o.id.empty() && name.text.size() <= kClubNameWidth) return true;
    return ids_.Put({kIdClub, ClubRec.ClubName.get(), o.id, {}, o.name, {}});
  });
  Report(text, ok && !found ? 1 : 0, ok && found ? 1 : 0);
}

Text FileImport::ClassFor(const std::string& id, const std::string& name, bool& found, std::int32_t& ref) {
  bool at_end = false;
  found = false;
  ref = 0;
  if (!id.empty())
    if (const IdEntry* known = ids_.ById(kIdClass, id)) {
      FindClassByName(kFindExact, known->local, ref, at_end, found);
      if (found) return known->local;
    }
  Converted c = Name(name);
  if (c.text.empty()) return {};
  // A cut name belongs to this class unless the id file gives it to another IOF class.
  Text local = MapName(c.text, kClassNameWidth, [&](const Text& candidate) {
    const IdEntry* holder = ids_.ByLocal(kIdClass, candidate);
    return holder && (id.empty() ? holder->full_name != name : holder->id != id);
  });
  if (local.empty()) return {};
  FindClassByName(kFindExact, local, ref, at_end, found);
  if (UpStr(c.text).size() > kClassNameWidth) LogMapping(kIdClass, name, local, "Klassnamnet");
  return local;
}

void FileImport::ImportClass(const ClassItem& c) {
  bool found = false;
  std::int32_t ref = 0;
  Text local = ClassFor(c.id, c.name, found, ref);
  if (local.empty()) return Refused("Klass utan namn", "Klass utan namn eller utan ledigt namn (id \"" + FromXml(c.id).text + "\") importeras inte");
  if (!found) {
    if (UsedRecs(KlassFile) > 78) return Full("Max antal klasser uppn\xE5tt kan ej addera!");
    ClearClassRec();
    KlassRec.Bet.set(local);
  }
  if (c.legs > 0 && !InfoRec.Days) KlassRec.StrNr = static_cast<std::int16_t>(std::min<int>(c.legs, InfoRec.StrNr));
  bool ok = Atomically([&] {
    if (!PutClass(!found, ref)) return false;
    return ids_.Put({kIdClass, local, c.id, {}, c.name, {}});
  });
  Report("Klass: " + local + " Record:" + IntStr(ref, 4), ok && !found ? 1 : 0, ok && found ? 1 : 0);
}

Text FileImport::ControlCodeFor(const std::string& id) {
  if (auto it = control_codes_.find(id); it != control_codes_.end()) return it->second;
  if (const IdEntry* known = ids_.ById(kIdControl, id)) return known->local;
  Converted c = FromXml(id);
  return MapControlCode(c.text, [&](const Text& candidate) {
    if (codes_given_.count(candidate)) return true;
    const IdEntry* holder = ids_.ByLocal(kIdControl, candidate);
    return holder != nullptr && holder->id != id;
  });
}

void FileImport::ImportControl(const ControlItem& c) {
  if (c.id.empty()) return Refused("Kontroll utan id", "Kontroll utan id importeras inte");
  Text code = ControlCodeFor(c.id);
  if (code.empty()) return Refused("Kontr: " + FromXml(c.id).text, "Ingen ledig kod f\xF6r kontrollen \"" + FromXml(c.id).text + "\"");
  Text trimmed = code.substr(code.find_first_not_of(' '));
  if (FromXml(c.id).text != trimmed && UpStr(FromXml(c.id).text) != trimmed && c.id.size() > kControlCodeWidth)
    LogMapping(kIdControl, c.id, code, "Kontrollen");
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindControl(kFindExact, code, ref, at_end, found);
  if (!found) {
    if (UsedRecs(KontrFile) > 510) return Full("Max antal kontroller uppn\xE5tt kan ej addera!");
    ClearControl();
    KontrRec.KodNr.set(code);
  }
  if (c.has_position) {
    KontrRec.posX = static_cast<std::int32_t>(std::lround(std::clamp(c.x, -1e9, 1e9)));
    KontrRec.posY = static_cast<std::int32_t>(std::lround(std::clamp(c.y, -1e9, 1e9)));
  }
  bool ok = Atomically([&] {
    if (!PutControl(!found, ref)) return false;
    return ids_.Put({kIdControl, code, c.id, c.type, {}, {}});
  });
  if (ok) {
    control_codes_[c.id] = code;
    codes_given_.insert(code);
  }
  Report("Kontr: " + code + " Record:" + IntStr(ref, 4), ok && !found ? 1 : 0, ok && found ? 1 : 0);
}

void FileImport::ImportCourse(const CourseItem& c) {
  Converted name = Name(c.name);
  if (name.text.empty()) return Refused("Bana utan namn", "Bana utan namn (id \"" + FromXml(c.id).text + "\") importeras inte");
  Text local;
  if (const IdEntry* known = c.id.empty() ? nullptr : ids_.ById(kIdCourse, c.id)) local = known->local;
  if (local.empty())
    local = MapName(name.text, kCourseNameWidth, [&](const Text& candidate) {
      const IdEntry* holder = ids_.ByLocal(kIdCourse, candidate);
      return holder && (c.id.empty() ? holder->full_name != c.name : holder->id != c.id);
    });
  if (local.empty()) return Refused("Bana: " + name.text, "Ingen ledig kod f\xF6r banan \"" + name.text + "\"");
  if (UpStr(name.text).size() > kCourseNameWidth) LogMapping(kIdCourse, c.name, local, "Banan");
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindCourse(kFindExact, local, ref, at_end, found);
  if (!found) {
    ClearCourse();
    TrackRec.Bana.set(local);
  }
  TrackRec.BanSize[std::clamp<int>(InfoRec.MellanTid, 0, 25)] = static_cast<std::int32_t>(std::lround(std::clamp(c.length, 0.0, 1e6)));
  TrackRec.Rise = static_cast<std::int16_t>(std::lround(std::clamp(c.climb, 0.0, 32767.0)));
  TrackRec.Antal = 0;
  std::vector<std::int32_t> used;
  for (const std::string& id : c.controls) {
    if (TrackRec.Antal >= kMaxCourseControls) {
      MsgLine = "Max antal kontroller per bana uppn\xE5tt kan ej addera! Bana \"" + local + "\"";
      ShowMsg(1);
      Log("     " + MsgLine);
      g_status.complete = false;
      break;
    }
    Text code = ControlCodeFor(id);
    if (code.empty()) code = NormaliseControlCode(FromXml(id).text);
    TrackRec.KodNr[TrackRec.Antal++].set(code);
    std::int32_t control = 0;
    FindKey(KontrFile, 1, control, code);
    if (!IsamOK) {
      MsgLine = "Odefinierad kodsiffra (kontrollpunkt)! " + FromXml(id).text;
      ShowMsg(1);
      Log("     " + MsgLine);
    } else if (!found && control >= 1 && control <= kMaxControlRecords) {
      used.push_back(control);
    }
  }
  TTrackRec course = TrackRec;
  bool ok = Atomically([&] {
    TrackRec = course;
    if (!PutCourse(!found, ref)) return false;
    return ids_.Put({kIdCourse, local, c.id, c.start + "\t" + c.finish, c.name, {}});
  });
  if (ok)
    for (std::int32_t control : used) ++CmpClubRec.ControlUse[control - 1];
  Report("Bana: " + local + " Record:" + IntStr(ref, 4), ok && !found ? 1 : 0, ok && found ? 1 : 0);
}

void FileImport::ImportAssignment(const AssignmentItem& a) {
  bool found = false;
  std::int32_t ref = 0;
  Text local = ClassFor(a.class_id, a.class_name, found, ref);
  Text course;
  for (const CourseItem& c : m_.courses)
    if (c.name == a.course_name)
      if (const IdEntry* known = c.id.empty() ? nullptr : ids_.ById(kIdCourse, c.id)) course = known->local;
  if (course.empty()) {
    std::int32_t r = 0;
    bool e = false, f = false;
    Text up = UpStr(FromXml(a.course_name).text);
    FindCourse(kFindExact, up.substr(0, kCourseNameWidth), r, e, f);
    if (f) course = up.substr(0, kCourseNameWidth);
  }
  Text what = "Klass: " + (local.empty() ? FromXml(a.class_name).text : local) + " Bana: " + FromXml(a.course_name).text;
  if (local.empty()) return Refused(what, "Klass utan namn i banf\xF6rdelningen importeras inte");
  if (course.empty()) return Refused(what, "Banan \"" + FromXml(a.course_name).text + "\" finns inte: klassen \"" + local + "\" f\xE5r ingen bana");
  if (!found) {
    if (UsedRecs(KlassFile) > 78) return Full("Max antal klasser uppn\xE5tt kan ej addera!");
    ClearClassRec();
    KlassRec.Bet.set(local);
  }
  int stages = std::clamp<int>(KlassRec.StrNr, 1, 5);
  int stage = m_.race >= 1 && m_.race <= InfoRec.StrNr ? m_.race : std::clamp<int>(InfoRec.DagStr, 1, InfoRec.StrNr);
  if (InfoRec.Days) {
    KlassRec.Bana[stage - 1].set(course);
  } else if (a.legs.empty()) {
    for (int j = 0; j < stages; ++j) KlassRec.Bana[j].set(course);
  } else {
    for (int leg : a.legs)
      if (leg >= 1 && leg <= stages) KlassRec.Bana[leg - 1].set(course);
  }
  bool ok = Atomically([&] {
    if (!PutClass(!found, ref)) return false;
    if (found || (a.class_id.empty() && FromXml(a.class_name).text.size() <= kClassNameWidth)) return true;
    return ids_.Put({kIdClass, local, a.class_id, {}, a.class_name, {}});
  });
  Report(what, ok && !found ? 1 : 0, ok && found ? 1 : 0);
}

bool FileImport::Run() {
  if (!ids_.Open()) {
    g_status.complete = false;
    Log("     " + MsgLine);
    return true;
  }
  auto step = [&]() {
    ++records_;
    platform::CurrentUi().ProcessEvents();
    return !stop_ && !CounterAborted();
  };
  for (const OrgItem& o : m_.orgs) {
    if (!step()) break;
    ImportOrg(o);
  }
  for (const ClassItem& c : m_.classes) {
    if (!step()) break;
    ImportClass(c);
  }
  for (const ControlItem& c : m_.controls) {
    if (!step()) break;
    ImportControl(c);
  }
  for (const CourseItem& c : m_.courses) {
    if (!step()) break;
    ImportCourse(c);
  }
  for (const AssignmentItem& a : m_.assignments) {
    if (!step()) break;
    ImportAssignment(a);
  }
  EntryImport entries(ids_, logged_, [&](std::string_view t, int a, int m) { Report(t, a, m); });
  for (const EntryItem& e : m_.entries) {
    if (!step()) break;
    if (!entries.Import(e)) {
      stop_ = true;
      break;
    }
  }
  if (!entries.complete()) g_status.complete = false;
  ids_.Close();
  return !CounterAborted();
}

// The ids of one kind that occur twice in the message: the second and later ones are refused
// before anything is stored, since the records they stand for cannot both keep them.
template <class T>
void DropDuplicates(std::vector<T>& items, std::string (*id_of)(const T&), std::string_view what) {
  std::set<std::string> seen;
  std::vector<T> kept;
  for (T& item : items) {
    std::string id = id_of(item);
    if (!id.empty() && !seen.insert(id).second) {
      MsgLine = Cut("Id \"" + FromXml(id).text + "\" finns tv\xE5 g\xE5nger (" + Text(what) + "): den andra importeras inte", kMsgLineMax);
      ShowMsg(1);
      Log("     " + MsgLine);
      g_status.complete = false;
      continue;
    }
    kept.push_back(std::move(item));
  }
  items = std::move(kept);
}

// Brings the files the message needs into use: the definition set for course data, else the
// entry set. False when they cannot be opened (said and logged).
bool OpenFilesFor(const std::string& root) {
  if (!ArchiveOpen) {
    ShowMsg(39);
    Log(MsgText(330));
    return false;
  }
  if (CurrentCompetition == 0) {
    ShowText(1, "Ingen t\xE4vling vald: \"" + Text(root) + "\" kan inte importeras");
    Log(MsgLine);
    g_status.no_competition = true;
    return false;
  }
  if (root == "CourseData") {
    if (!DefinitionsOpen) OpenDefinitions();
    if (DefinitionsOpen) return true;
  } else {
    if (!CompetitionOpen) OpenCompetition();
    if (CompetitionOpen) return true;
  }
  ShowText(1, "T\xE4vling " + ZeroStr(CurrentCompetition, 2) + " kan inte \xF6ppnas: \"" + Text(root) + "\" importeras inte");
  Log(MsgLine);
  return false;
}

// Imports one file; false when the user cancelled.
bool ImportIofFile(platform::Window owner, const Text& path) {
  Log("============================");
  Log("importerar \"" + path + "\"");
  Log("");
  Message m;
  Text error;
  bool read = ReadIofMessage(path, m.info, [&](const XmlElement& e) { ReadRecord(e, m); }, error);
  if (read && !IsImportedRoot(m.info.root)) {
    read = false;
    error = "\"" + FromXml(m.info.root).text + "\" importeras inte (bara OrganisationList, ClassList, CourseData och EntryList)";
  }
  if (!read) {
    // Nothing of a file that is not a sound message is stored.
    MsgLine = Cut("IOF XML: " + error, kMsgLineMax);
    ShowMsg(201);
    Log("IOF XML: " + error);
    Log("Adderade:   0 Modifierade:   0 Rader:   0");
    Log("");
    g_status.complete = false;
    return true;
  }
  Log("importerar \"" + m.info.root + "\"");
  DropDuplicates<OrgItem>(m.orgs, [](const OrgItem& o) { return o.id; }, "Organisation");
  DropDuplicates<ClassItem>(m.classes, [](const ClassItem& c) { return c.id; }, "Class");
  DropDuplicates<ControlItem>(m.controls, [](const ControlItem& c) { return c.id; }, "Control");
  DropDuplicates<CourseItem>(m.courses, [](const CourseItem& c) { return c.id; }, "Course");
  DropDuplicates<EntryItem>(m.entries, [](const EntryItem& e) { return e.entry_id; }, "Entry");
  bool go_on = true;
  int added = 0, modified = 0, records = 0;
  if (OpenFilesFor(m.info.root)) {
    OpenCancelCounter(owner, 4, "IOF XML 3.0");
    CounterLine(2, "Add: 0000 Mod: 0000");
    FileImport run(owner, m);
    go_on = run.Run();
    added = run.added();
    modified = run.modified();
    records = run.records();
    CloseCounter();
  } else {
    g_status.complete = false;
  }
  if (ArchiveOpen && !CompetitionOpen && CurrentCompetition != 0) {
    CloseDefinitions();
    OpenCompetition();
  }
  if (!go_on) {
    Log("");
    Log("<< avbrutet >>");
    Log("");
    g_status.complete = false;
  }
  Log("Adderade: " + IntStr(added, 3) + " Modifierade: " + IntStr(modified, 3) + " Rader: " + IntStr(records, 3));
  Log("");
  return go_on;
}

}  // namespace

const IofImportStatus& LastIofImport() { return g_status; }

void ImportIofFiles(platform::Window owner, const std::vector<Text>& paths) {
  g_status = IofImportStatus{};
  print::LogStart("importlogg");
  Log("LOGGLISTA IMPORT");
  Log("");
  for (const Text& p : paths)
    if (!ImportIofFile(owner, p)) break;
  Log("IMPORT KLAR!");
  print::LogEnd();
}

}  // namespace olbrax::iof
