#include "exchange/iof/iof_export.h"

#include <QDateTime>
#include <QSaveFile>
#include <QTimeZone>
#include <QXmlStreamWriter>

#include <algorithm>
#include <charconv>
#include <map>
#include <set>
#include <vector>

#include "base/messages.h"
#include "base/version.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/iof_id_keys.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/iof/id_register.h"
#include "exchange/iof/iof_text.h"
#include "exchange/iof/xml_reader.h"

namespace olbrax::iof {

namespace {

constexpr std::int32_t kStatusBase = 5999940;

QString Q(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }
QString W(std::string_view win) { return Q(ToXml(win)); }

Text Trim(const Text& t) {
  auto first = t.find_first_not_of(' ');
  return first == Text::npos ? Text() : t.substr(first, t.find_last_not_of(' ') - first + 1);
}

// What the export reads: the competition's records and its ids.
struct Data {
  IdRegister ids;
  bool have_ids = false;
  QDate date;
  std::vector<std::pair<std::int32_t, TKlassRec>> classes;  // in sort-key order
  std::map<std::int32_t, std::vector<std::pair<std::int32_t, TEntrantRec>>> entrants;  // by class record
  std::map<std::int32_t, TClubRec> clubs;
};

const IdEntry* Id(const Data& d, char kind, const Text& local) { return d.have_ids ? d.ids.ByLocal(kind, local) : nullptr; }

// The id of an entrant's own id entry, when it still is the entrant it was stored for.
const IdEntry* EntrantId(const Data& d, char kind, const Text& local, const TEntrantRec& r) {
  const IdEntry* e = Id(d, kind, local);
  return e && e->check == IofIdCheck(r) ? e : nullptr;
}

void WriteEvent(QXmlStreamWriter& w, const Data& d) {
  w.writeStartElement("Event");
  w.writeTextElement("Name", W(InfoRec.Tvl.get().empty() ? Text("T\xE4vling") : InfoRec.Tvl.get()));
  w.writeStartElement("StartTime");
  w.writeTextElement("Date", d.date.toString(Qt::ISODate));
  w.writeEndElement();
  w.writeEndElement();
}

// A moment of the competition day: seconds after midnight in the computer's time zone.
QString DayTime(const Data& d, std::int32_t seconds) {
  QDateTime t(d.date, QTime(0, 0), QTimeZone::systemTimeZone());
  t = t.addSecs(seconds);
  return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

std::int32_t ZeroTime(int stage) { return InfoRec.NollTid[InfoRec.Days ? stage - 1 : 0]; }

void WriteClubRef(QXmlStreamWriter& w, const Data& d, std::int32_t club_ref) {
  auto it = d.clubs.find(club_ref);
  if (it == d.clubs.end()) return;
  const TClubRec& c = it->second;
  w.writeStartElement("Organisation");
  const IdEntry* id = Id(d, kIdClub, c.ClubName.get());
  if (id && !id->id.empty()) w.writeTextElement("Id", Q(id->id));
  else if (c.ClubNumber > 0) w.writeTextElement("Id", QString::number(c.ClubNumber));
  w.writeTextElement("Name", id && !id->full_name.empty() ? Q(id->full_name) : W(DisplayName(false, c.ClubName.get())));
  if (!c.ClubCode.empty()) w.writeTextElement("ShortName", W(c.ClubCode.get()));
  w.writeEndElement();
}

void WriteClassRef(QXmlStreamWriter& w, const Data& d, const TKlassRec& k, bool relay_legs = false) {
  w.writeStartElement("Class");
  const IdEntry* id = Id(d, kIdClass, k.Bet.get());
  if (id && !id->id.empty()) w.writeTextElement("Id", Q(id->id));
  w.writeTextElement("Name", id && !id->full_name.empty() ? Q(id->full_name) : W(k.Bet.get()));
  if (relay_legs)
    for (int j = 0; j < std::clamp<int>(k.StrNr, 1, 5); ++j) w.writeEmptyElement("Leg");
  w.writeEndElement();
}

// A person's name: as the message gave it when the id file has it, else split at the last blank.
void WritePerson(QXmlStreamWriter& w, const IdEntry* id, const Text& stored) {
  w.writeStartElement("Person");
  if (id && !id->id.empty()) w.writeTextElement("Id", Q(id->id));
  QString given, family;
  if (id && id->full_name.find('\t') != std::string::npos) {
    given = Q(id->full_name.substr(0, id->full_name.find('\t')));
    family = Q(id->full_name.substr(id->full_name.find('\t') + 1));
  } else {
    Text name = Trim(DisplayName(false, stored));
    auto blank = name.find_last_of(' ');
    family = W(blank == Text::npos ? name : name.substr(blank + 1));
    given = W(blank == Text::npos ? Text() : name.substr(0, blank));
  }
  w.writeStartElement("Name");
  w.writeTextElement("Family", family);
  w.writeTextElement("Given", given);
  w.writeEndElement();
  w.writeEndElement();
}

Text Bib(const TEntrantRec& r) {
  Text n = r.StartNumber.get();
  auto first = n.find_first_not_of('0');
  return first == Text::npos ? Text("0") : n.substr(first);
}

// The control card: the entrant's own field, or the longer number the id file kept.
std::string Card(const TEntrantRec& r, const IdEntry* person) {
  if (person) {
    auto tab = person->extra.find('\t');
    if (tab != std::string::npos) return person->extra.substr(tab + 1);
  }
  return ToXml(Trim(r.ExtraText.get()));
}

bool IsRelayClass(const TKlassRec& k) { return !InfoRec.Days && !IsOpenClass(k.Bet.get()); }

int Stage() { return std::clamp<int>(InfoRec.DagStr, 1, std::clamp<int>(InfoRec.StrNr, 1, 5)); }

const char* StatusText(std::int32_t time) {
  if (time > 0 && time < kStatusBase) return "OK";
  switch (time - kStatusBase) {
    case 0: return "OK";
    case 1: return "MissingPunch";
    case 2: return "DidNotFinish";
    case 3: return "Disqualified";
    case 4: return "MovedUp";
    case 5: return "Cancelled";
    case 7: return "DidNotStart";
    default: return "Inactive";
  }
}

bool HasTime(std::int32_t t) { return t > 0 && t < kStatusBase; }

// Positions by time: equal times share a place; entrants without a valid time have none.
std::map<std::int32_t, int> Positions(const std::vector<std::pair<std::int32_t, TEntrantRec>>& list,
                                      std::int32_t (*time_of)(const TEntrantRec&), std::int32_t& best) {
  std::vector<std::int32_t> times;
  for (const auto& [ref, r] : list)
    if (HasTime(time_of(r))) times.push_back(time_of(r));
  std::sort(times.begin(), times.end());
  best = times.empty() ? 0 : times.front();
  std::map<std::int32_t, int> out;
  for (const auto& [ref, r] : list)
    if (HasTime(time_of(r)))
      out[ref] = static_cast<int>(std::lower_bound(times.begin(), times.end(), time_of(r)) - times.begin()) + 1;
  return out;
}

int g_stage = 1;
std::int32_t StageTime(const TEntrantRec& r) { return r.RunTime[g_stage][0]; }
std::int32_t TotalTime(const TEntrantRec& r) { return r.RunTime[0][0]; }

void WriteRaceTimes(QXmlStreamWriter& w, const Data& d, const TKlassRec& k, const TEntrantRec& r, int s) {
  std::int32_t start = r.StartTime[s - 1];
  if (start >= 0 && start < kStatusBase) w.writeTextElement("StartTime", DayTime(d, ZeroTime(s) + k.FrstStTid[s - 1] + start));
  std::int32_t finish = r.FinishTime[s - 1][0];
  if (HasTime(finish)) w.writeTextElement("FinishTime", DayTime(d, ZeroTime(s) + finish));
  if (HasTime(r.RunTime[s][0])) w.writeTextElement("Time", QString::number(r.RunTime[s][0]));
}

// The head of a team in a start or result list: its entry id, name, club and bib number.
void WriteTeamHead(QXmlStreamWriter& w, const Data& d, std::int32_t ref, const TEntrantRec& r) {
  const IdEntry* team = EntrantId(d, kIdTeam, EntrantLocal(ref), r);
  if (team && !team->id.empty()) w.writeTextElement("EntryId", Q(team->id));
  w.writeTextElement("Name", team && !team->full_name.empty() ? Q(team->full_name) : W(Trim(r.TeamOrRanking.get())));
  WriteClubRef(w, d, r.ClubRef);
  w.writeTextElement("BibNumber", W(Bib(r)));
}

// The head of a person in a start or result list: the entry id, the person and the club; the
// person's ids, for what follows.
const IdEntry* WritePersonHead(QXmlStreamWriter& w, const Data& d, std::int32_t ref, const TEntrantRec& r) {
  const IdEntry* person = EntrantId(d, kIdPerson, EntrantLocal(ref), r);
  if (person && !person->extra.empty()) w.writeTextElement("EntryId", Q(person->extra.substr(0, person->extra.find('\t'))));
  WritePerson(w, person, r.StageName[0].get());
  WriteClubRef(w, d, r.ClubRef);
  return person;
}

// --- The messages --------------------------------------------------------------------------------

int WriteOrganisations(QXmlStreamWriter& w, const Data& d) {
  for (const auto& [ref, c] : d.clubs) {
    w.writeStartElement("Organisation");
    w.writeAttribute("type", "Club");
    const IdEntry* id = Id(d, kIdClub, c.ClubName.get());
    if (id && !id->id.empty()) w.writeTextElement("Id", Q(id->id));
    else if (c.ClubNumber > 0) w.writeTextElement("Id", QString::number(c.ClubNumber));
    w.writeTextElement("Name", id && !id->full_name.empty() ? Q(id->full_name) : W(DisplayName(false, c.ClubName.get())));
    if (!c.ClubCode.empty()) w.writeTextElement("ShortName", W(c.ClubCode.get()));
    w.writeEndElement();
  }
  return static_cast<int>(d.clubs.size());
}

int WriteClasses(QXmlStreamWriter& w, const Data& d) {
  for (const auto& [ref, k] : d.classes) WriteClassRef(w, d, k, IsRelayClass(k));
  return static_cast<int>(d.classes.size());
}

int WriteEntries(QXmlStreamWriter& w, const Data& d) {
  WriteEvent(w, d);
  int n = 0;
  for (const auto& [class_ref, k] : d.classes) {
    auto it = d.entrants.find(class_ref);
    if (it == d.entrants.end()) continue;
    for (const auto& [ref, r] : it->second) {
      ++n;
      if (IsRelayClass(k)) {
        w.writeStartElement("TeamEntry");
        const IdEntry* team = EntrantId(d, kIdTeam, EntrantLocal(ref), r);
        if (team && !team->id.empty()) w.writeTextElement("Id", Q(team->id));
        w.writeTextElement("Name", team && !team->full_name.empty() ? Q(team->full_name) : W(Trim(r.TeamOrRanking.get())));
        WriteClubRef(w, d, r.ClubRef);
        for (int leg = 1; leg <= std::clamp<int>(k.StrNr, 1, 5); ++leg) {
          const IdEntry* member = EntrantId(d, kIdMember, MemberLocal(ref, leg), r);
          w.writeStartElement("TeamEntryPerson");
          WritePerson(w, member, r.StageName[leg - 1].get());
          w.writeTextElement("Leg", QString::number(leg));
          if (member && !member->extra.empty()) w.writeTextElement("ControlCard", Q(member->extra));
          w.writeEndElement();
        }
        WriteClassRef(w, d, k);
        w.writeEndElement();
        continue;
      }
      w.writeStartElement("PersonEntry");
      const IdEntry* person = EntrantId(d, kIdPerson, EntrantLocal(ref), r);
      if (person && !person->extra.empty()) w.writeTextElement("Id", Q(person->extra.substr(0, person->extra.find('\t'))));
      WritePerson(w, person, r.StageName[0].get());
      WriteClubRef(w, d, r.ClubRef);
      if (std::string card = Card(r, person); !card.empty()) w.writeTextElement("ControlCard", Q(card));
      WriteClassRef(w, d, k);
      w.writeEndElement();
    }
  }
  return n;
}

int WriteStarts(QXmlStreamWriter& w, const Data& d) {
  WriteEvent(w, d);
  int s = Stage(), n = 0;
  for (const auto& [class_ref, k] : d.classes) {
    auto it = d.entrants.find(class_ref);
    if (it == d.entrants.end()) continue;
    w.writeStartElement("ClassStart");
    WriteClassRef(w, d, k);
    for (const auto& [ref, r] : it->second) {
      ++n;
      if (IsRelayClass(k)) {
        w.writeStartElement("TeamStart");
        WriteTeamHead(w, d, ref, r);
        for (int leg = 1; leg <= std::clamp<int>(k.StrNr, 1, 5); ++leg) {
          const IdEntry* member = EntrantId(d, kIdMember, MemberLocal(ref, leg), r);
          w.writeStartElement("TeamMemberStart");
          WritePerson(w, member, r.StageName[leg - 1].get());
          w.writeStartElement("Start");
          w.writeTextElement("Leg", QString::number(leg));
          std::int32_t start = r.StartTime[leg - 1];
          if (start >= 0 && start < kStatusBase && (leg == 1 || start > 0))
            w.writeTextElement("StartTime", DayTime(d, ZeroTime(leg) + k.FrstStTid[leg - 1] + start));
          if (member && !member->extra.empty()) w.writeTextElement("ControlCard", Q(member->extra));
          w.writeEndElement();
          w.writeEndElement();
        }
        w.writeEndElement();
        continue;
      }
      w.writeStartElement("PersonStart");
      const IdEntry* person = WritePersonHead(w, d, ref, r);
      w.writeStartElement("Start");
      w.writeTextElement("BibNumber", W(Bib(r)));
      std::int32_t start = r.StartTime[s - 1];
      if (start >= 0 && start < kStatusBase) w.writeTextElement("StartTime", DayTime(d, ZeroTime(s) + k.FrstStTid[s - 1] + start));
      if (std::string card = Card(r, person); !card.empty()) w.writeTextElement("ControlCard", Q(card));
      w.writeEndElement();
      w.writeEndElement();
    }
    w.writeEndElement();
  }
  return n;
}

int WriteResults(QXmlStreamWriter& w, const Data& d) {
  WriteEvent(w, d);
  int s = Stage(), n = 0;
  for (const auto& [class_ref, k] : d.classes) {
    auto it = d.entrants.find(class_ref);
    if (it == d.entrants.end()) continue;
    const auto& list = it->second;
    bool relay = IsRelayClass(k);
    g_stage = s;
    std::int32_t best = 0, best_total = 0;
    std::map<std::int32_t, int> places = Positions(list, relay ? TotalTime : StageTime, best);
    std::map<std::int32_t, int> totals = Positions(list, TotalTime, best_total);
    w.writeStartElement("ClassResult");
    WriteClassRef(w, d, k);
    for (const auto& [ref, r] : list) {
      ++n;
      if (relay) {
        w.writeStartElement("TeamResult");
        WriteTeamHead(w, d, ref, r);
        int legs = std::clamp<int>(k.StrNr, 1, 5);
        for (int leg = 1; leg <= legs; ++leg) {
          const IdEntry* member = EntrantId(d, kIdMember, MemberLocal(ref, leg), r);
          w.writeStartElement("TeamMemberResult");
          WritePerson(w, member, r.StageName[leg - 1].get());
          w.writeStartElement("Result");
          w.writeTextElement("Leg", QString::number(leg));
          WriteRaceTimes(w, d, k, r, leg);
          w.writeTextElement("Status", StatusText(r.RunTime[leg][0]));
          if (leg == legs) {
            w.writeStartElement("OverallResult");
            if (HasTime(r.RunTime[0][0])) {
              w.writeTextElement("Time", QString::number(r.RunTime[0][0]));
              w.writeTextElement("TimeBehind", QString::number(r.RunTime[0][0] - best));
              w.writeTextElement("Position", QString::number(places[ref]));
            }
            w.writeTextElement("Status", StatusText(r.RunTime[0][0]));
            w.writeEndElement();
          }
          if (member && !member->extra.empty()) w.writeTextElement("ControlCard", Q(member->extra));
          w.writeEndElement();
          w.writeEndElement();
        }
        w.writeEndElement();
        continue;
      }
      w.writeStartElement("PersonResult");
      const IdEntry* person = WritePersonHead(w, d, ref, r);
      w.writeStartElement("Result");
      w.writeTextElement("BibNumber", W(Bib(r)));
      WriteRaceTimes(w, d, k, r, s);
      if (HasTime(r.RunTime[s][0])) {
        w.writeTextElement("TimeBehind", QString::number(r.RunTime[s][0] - best));
        w.writeTextElement("Position", QString::number(places[ref]));
      }
      w.writeTextElement("Status", StatusText(r.RunTime[s][0]));
      if (InfoRec.StrNr > 1) {
        w.writeStartElement("OverallResult");
        if (HasTime(r.RunTime[0][0])) {
          w.writeTextElement("Time", QString::number(r.RunTime[0][0]));
          w.writeTextElement("TimeBehind", QString::number(r.RunTime[0][0] - best_total));
          w.writeTextElement("Position", QString::number(totals[ref]));
        }
        w.writeTextElement("Status", StatusText(r.RunTime[0][0]));
        w.writeEndElement();
      }
      if (std::string card = Card(r, person); !card.empty()) w.writeTextElement("ControlCard", Q(card));
      w.writeEndElement();
      w.writeEndElement();
    }
    w.writeEndElement();
  }
  return n;
}

int WriteCourseData(QXmlStreamWriter& w, const Data& d) {
  WriteEvent(w, d);
  w.writeStartElement("RaceCourseData");
  // Controls: the register's, then the start and finish points the courses name that are not in it.
  std::vector<TKontrRec> controls;
  for (std::int32_t ref = 1; ref < FileLen(KontrFile); ++ref) {
    std::int32_t r = ref;
    bool at_end = false, found = false;
    FindControl(kFindRecord, "", r, at_end, found);
    if (found) controls.push_back(KontrRec);
  }
  auto control_id = [&](const Text& code) {
    const IdEntry* id = Id(d, kIdControl, code);
    return id && !id->id.empty() ? id->id : ToXml(Trim(code));
  };
  std::set<std::string> written;
  int n = 0;
  for (const TKontrRec& c : controls) {
    const IdEntry* id = Id(d, kIdControl, c.KodNr.get());
    w.writeStartElement("Control");
    if (id && !id->extra.empty() && id->extra != "Control") w.writeAttribute("type", Q(id->extra));
    std::string cid = control_id(c.KodNr.get());
    w.writeTextElement("Id", Q(cid));
    written.insert(cid);
    if (c.posX != 0 || c.posY != 0) {
      w.writeEmptyElement("MapPosition");
      w.writeAttribute("x", QString::number(c.posX));
      w.writeAttribute("y", QString::number(c.posY));
    }
    w.writeEndElement();
    ++n;
  }
  struct CourseOut {
    TTrackRec rec;
    std::string start, finish;
  };
  std::vector<CourseOut> courses;
  for (std::int32_t ref = 1; ref < FileLen(TrackFile); ++ref) {
    std::int32_t r = ref;
    bool at_end = false, found = false;
    FindCourse(kFindRecord, "", r, at_end, found);
    if (!found) continue;
    CourseOut c{TrackRec, "S1", "F1"};
    if (const IdEntry* id = Id(d, kIdCourse, TrackRec.Bana.get())) {
      auto tab = id->extra.find('\t');
      if (tab != std::string::npos) {
        if (tab > 0) c.start = id->extra.substr(0, tab);
        if (tab + 1 < id->extra.size()) c.finish = id->extra.substr(tab + 1);
      }
    }
    courses.push_back(c);
  }
  for (const CourseOut& c : courses)
    for (const auto& [point, type] : {std::pair{c.start, "Start"}, std::pair{c.finish, "Finish"}})
      if (written.insert(point).second) {
        w.writeStartElement("Control");
        w.writeAttribute("type", type);
        w.writeTextElement("Id", Q(point));
        w.writeEndElement();
      }
  for (const CourseOut& c : courses) {
    const IdEntry* id = Id(d, kIdCourse, c.rec.Bana.get());
    w.writeStartElement("Course");
    if (id && !id->id.empty()) w.writeTextElement("Id", Q(id->id));
    w.writeTextElement("Name", id && !id->full_name.empty() ? Q(id->full_name) : W(c.rec.Bana.get()));
    std::int32_t length = c.rec.BanSize[std::clamp<int>(InfoRec.MellanTid, 0, 25)];
    if (length > 0) w.writeTextElement("Length", QString::number(length));
    if (c.rec.Rise > 0) w.writeTextElement("Climb", QString::number(c.rec.Rise));
    w.writeStartElement("CourseControl");
    w.writeAttribute("type", "Start");
    w.writeTextElement("Control", Q(c.start));
    w.writeEndElement();
    for (int i = 0; i < std::clamp<int>(c.rec.Antal, 0, kMaxCourseControls); ++i) {
      w.writeStartElement("CourseControl");
      w.writeAttribute("type", "Control");
      w.writeTextElement("Control", Q(control_id(c.rec.KodNr[i].get())));
      w.writeEndElement();
    }
    w.writeStartElement("CourseControl");
    w.writeAttribute("type", "Finish");
    w.writeTextElement("Control", Q(c.finish));
    w.writeEndElement();
    w.writeEndElement();
    ++n;
  }
  // Which course each class runs: the stage worked on, or every leg of a relay class.
  std::set<Text> course_names;
  for (const CourseOut& c : courses) course_names.insert(c.rec.Bana.get());
  for (const auto& [ref, k] : d.classes) {
    int legs = IsRelayClass(k) ? std::clamp<int>(k.StrNr, 1, 5) : 1;
    for (int leg = 1; leg <= legs; ++leg) {
      Text course = IsRelayClass(k) ? k.Bana[leg - 1].get() : k.Bana[Stage() - 1].get();
      if (!course_names.count(course)) continue;
      const IdEntry* cid = Id(d, kIdClass, k.Bet.get());
      const IdEntry* tid = Id(d, kIdCourse, course);
      w.writeStartElement("ClassCourseAssignment");
      if (cid && !cid->id.empty()) w.writeTextElement("ClassId", Q(cid->id));
      w.writeTextElement("ClassName", cid && !cid->full_name.empty() ? Q(cid->full_name) : W(k.Bet.get()));
      if (IsRelayClass(k)) w.writeTextElement("AllowedOnLeg", QString::number(leg));
      w.writeTextElement("CourseName", tid && !tid->full_name.empty() ? Q(tid->full_name) : W(course));
      w.writeEndElement();
    }
  }
  w.writeEndElement();
  return n;
}

bool Fail(std::string_view why) {
  MsgLine = Cut(why, kMsgLineMax);
  return false;
}

// Reads what the message needs from the open files.
void ReadData(Data& d, IofExport kind) {
  if (kind != IofExport::kOrganisationList) {
    std::int32_t ref = 0;
    bool at_end = false, found = false;
    FindClassBySortKey(kFindReset, "", ref, at_end, found);
    for (;;) {
      FindClassBySortKey(kFindNext, "", ref, at_end, found);
      if (at_end) break;
      if (found) d.classes.emplace_back(ref, KlassRec);
    }
  }
  std::set<std::int32_t> club_refs;
  if (kind == IofExport::kStartList || kind == IofExport::kResultList || kind == IofExport::kEntryList) {
    for (std::int32_t ref = 1; ref < FileLen(EntrantFile); ++ref) {
      std::int32_t r = ref;
      bool at_end = false, found = false;
      FindEntrant(kFindRecord, "", r, at_end, found);
      if (!found) continue;
      d.entrants[EntrantRec.ClassRef].emplace_back(ref, EntrantRec);
      club_refs.insert(EntrantRec.ClubRef);
    }
    // Within a class by start number, as start and result lists are read.
    for (auto& [k, list] : d.entrants)
      std::stable_sort(list.begin(), list.end(), [](const auto& a, const auto& b) {
        return a.second.StartNumber.get() < b.second.StartNumber.get();
      });
  }
  bool all_clubs = kind == IofExport::kOrganisationList;
  if (all_clubs || !club_refs.empty()) {
    for (std::int32_t ref = 1; ref < FileLen(ClubFile); ++ref) {
      if (!all_clubs && !club_refs.count(ref)) continue;
      std::int32_t r = ref;
      bool at_end = false, found = false;
      FindClub(kFindRecord, "", r, at_end, found);
      if (found) d.clubs[ref] = ClubRec;
    }
  }
}

}  // namespace

std::optional<IofExport> IofExportKind(std::string_view word) {
  if (word == "startlist") return IofExport::kStartList;
  if (word == "results") return IofExport::kResultList;
  if (word == "entries") return IofExport::kEntryList;
  if (word == "courses") return IofExport::kCourseData;
  if (word == "classes") return IofExport::kClassList;
  if (word == "clubs") return IofExport::kOrganisationList;
  return std::nullopt;
}

std::string_view IofExportRoot(IofExport kind) {
  switch (kind) {
    case IofExport::kStartList: return "StartList";
    case IofExport::kResultList: return "ResultList";
    case IofExport::kEntryList: return "EntryList";
    case IofExport::kCourseData: return "CourseData";
    case IofExport::kClassList: return "ClassList";
    case IofExport::kOrganisationList: return "OrganisationList";
  }
  return {};
}

bool CompetitionDate(std::string_view text, int& year, int& month, int& day) {
  std::string digits;
  for (char c : text)
    if (c >= '0' && c <= '9') digits += c;
    else if (!digits.empty() && c != '-' && c != '/' && c != '.' && c != ' ') break;
  auto num = [&](std::size_t at, std::size_t n) {
    int v = 0;
    std::from_chars(digits.data() + at, digits.data() + at + n, v);
    return v;
  };
  if (digits.size() >= 8) {
    year = num(0, 4), month = num(4, 2), day = num(6, 2);
  } else if (digits.size() == 6) {
    year = 2000 + num(0, 2), month = num(2, 2), day = num(4, 2);
  } else {
    return false;
  }
  return QDate(year, month, day).isValid();
}

bool ExportIof(IofExport kind, std::string_view path, int& count) {
  count = 0;
  if (!ArchiveOpen) return Fail(MsgText(330));
  bool needs_competition = kind != IofExport::kOrganisationList;
  if (needs_competition && CurrentCompetition == 0) return Fail("Ingen t\xE4vling vald: inget att exportera");
  bool definitions = kind == IofExport::kCourseData;
  if (CurrentCompetition != 0) {
    if (definitions && !DefinitionsOpen) OpenDefinitions();
    if (!definitions && !CompetitionOpen) OpenCompetition();
    if (definitions ? !DefinitionsOpen : !CompetitionOpen) {
      if (definitions) OpenCompetition();
      return Fail("T\xE4vling " + ZeroStr(CurrentCompetition, 2) + " kan inte \xF6ppnas");
    }
  }
  Data d;
  int y = 0, m = 0, day = 0;
  d.date = CompetitionDate(InfoRec.Date.get(), y, m, day) ? QDate(y, m, day) : QDate::currentDate();
  if (CurrentCompetition != 0) {
    d.have_ids = d.ids.Open();
    if (!d.have_ids) {
      if (definitions) OpenCompetition();
      return false;
    }
  }
  ReadData(d, kind);

  QSaveFile file(QString::fromStdString(Utf8FromWin(path)));
  if (!file.open(QIODevice::WriteOnly)) {
    if (definitions) OpenCompetition();
    return Fail("Filen kan inte skapas: " + FromXml(file.errorString().toStdString()).text);
  }
  QXmlStreamWriter w(&file);
  w.setAutoFormatting(true);
  w.setAutoFormattingIndent(2);
  w.writeStartDocument();
  w.writeDefaultNamespace(Q(kNamespace));
  w.writeStartElement(Q(kNamespace), Q(IofExportRoot(kind)));
  w.writeAttribute("iofVersion", "3.0");
  QDateTime now = QDateTime::currentDateTime();
  w.writeAttribute("createTime", now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODate));
  w.writeAttribute("creator", W(Text("olbrax ") + kProgramVersion + kPortTag));
  switch (kind) {
    case IofExport::kOrganisationList: count = WriteOrganisations(w, d); break;
    case IofExport::kClassList: count = WriteClasses(w, d); break;
    case IofExport::kEntryList: count = WriteEntries(w, d); break;
    case IofExport::kStartList: count = WriteStarts(w, d); break;
    case IofExport::kResultList: count = WriteResults(w, d); break;
    case IofExport::kCourseData: count = WriteCourseData(w, d); break;
  }
  w.writeEndElement();
  w.writeEndDocument();
  d.ids.Close();
  if (definitions) OpenCompetition();
  if (w.hasError() || !file.commit()) return Fail("Filen kunde inte skrivas: " + FromXml(file.errorString().toStdString()).text);
  return true;
}

}  // namespace olbrax::iof
