#include "exchange/iof/entry_import.h"

#include <algorithm>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/competition_rec.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/iof_id_keys.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/shared_registers.h"
#include "exchange/entry_import.h"
#include "exchange/iof/id_register.h"
#include "exchange/iof/iof_text.h"
#include "exchange/iof/name_mapping.h"
#include "exchange/iof/record_batch.h"

namespace olbrax::iof {

namespace {


std::string Trimmed(const std::string& s) {
  auto first = s.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The person's name as the program keeps it: given name first.
std::string FullName(const PersonItem& p) { return Trimmed(Trimmed(p.given) + " " + Trimmed(p.family)); }

// What an entrant record holds that the id file checks before it uses an id again.
Text CheckOf(const TEntrantRec& r) { return IofIdCheck(r); }

}  // namespace

bool EntryImport::Import(const EntryItem& e) {
  auto Log = [&](const Text& line) { log_(line); };
  auto log_once = [&](char kind, const std::string& key, const Text& line) {
    if (logged_.insert({kind, key}).second) Log("     " + line);
  };
  auto convert = [&](const std::string& utf8) {
    Converted c = FromXml(utf8);
    if (c.replaced) log_once('?', utf8, "Tecken som saknas i teckentabellen ersatta: \"" + c.text + "\"");
    return c.text;
  };
  auto refuse = [&](const Text& text, const Text& why) {
    MsgLine = Cut(why, kMsgLineMax);
    ShowMsg(1);
    Log("     " + why);
    report_(text, 0, 0);
    complete_ = false;
    return true;
  };

  // Names first: an entry without a runner's name is no entrant.
  const PersonItem* person = e.team || e.members.empty() ? nullptr : &e.members.front();
  Text name = person ? UpStr(convert(FullName(*person))) : Text();
  Text team = e.team ? convert(Trimmed(e.team_name)) : Text();
  if (!e.team && name.empty())
    return refuse("Anm\xE4lan utan namn", "Anm\xE4lan utan namn (id \"" + FromXml(e.entry_id).text + "\") importeras inte");
  if (e.team && team.empty())
    return refuse("Lag utan namn", "Laganm\xE4lan utan namn (id \"" + FromXml(e.entry_id).text + "\") importeras inte");
  if (e.team && InfoRec.Days)
    return refuse("Lag: " + team, "Laget \"" + team + "\" importeras inte: t\xE4vlingen \xE4r ingen stafett");
  // The same limit as the program's own entry import: the 3200th entrant is taken, the next is not.
  if (UsedRecs(EntrantFile) >= kMaxEntrants) {
    MsgLine = "Max antal [" + IntStr(kMaxEntrants, 4) + "] namn uppn\xE5tt kan ej addera!";
    ShowMsg(1);
    Log("     " + MsgLine);
    complete_ = false;
    return false;
  }

  // An entry imported before (its person or team id names an entrant that still is it) is kept.
  const IdEntry* again = nullptr;
  if (!e.team && person && !person->id.empty()) again = ids_.ById(kIdPerson, person->id);
  if (e.team && !e.entry_id.empty()) again = ids_.ById(kIdTeam, e.entry_id);
  if (again) {
    std::int32_t ref = std::stoi(again->local);
    bool at_end = false, found = false;
    FindEntrant(kFindRecord, "", ref, at_end, found);
    if (found && CheckOf(EntrantRec) == again->check) {
      report_(EntrantRec.StartNumber.get() + " " + EntrantRec.StageName[0].get() + " finns redan", 0, 1);
      return true;
    }
  }

  // The club, found as the program's own import finds it.
  Text club_name = StoredKey(UpStr(convert(Trimmed(e.org_name))).substr(0, kClubNameWidth));
  std::int32_t club_ref = 0;
  bool at_end = false, club_known = false;
  if (!e.org_id.empty())
    if (const IdEntry* known = ids_.ById(kIdClub, e.org_id)) FindClub(kFindExact, known->local, club_ref, at_end, club_known);
  if (!club_known) {
    FindClub(kFindFrom, club_name, club_ref, at_end, club_known);
    club_known = club_known && ClubRec.ClubName.get().find(club_name) != Text::npos;
  }
  if (!club_known) {
    if (FileLen(ClubFile) - 1 >= kMaxClubs) {
      MsgLine = "Max antal klubbar [ 900] uppn\xE5tt kan ej addera!";
      ShowMsg(1);
      Log("     " + MsgLine);
      complete_ = false;
      return false;
    }
    ClearClub();
    ClubRec.ClubName.set(club_name);
    club_ref = 0;
  }
  TClubRec club = ClubRec;

  // The class: by its id, else by its name as the mapping rules give it; a missing one is asked for.
  Text class_name;
  std::int32_t class_ref = 0;
  bool class_found = false;
  if (!e.class_id.empty())
    if (const IdEntry* known = ids_.ById(kIdClass, e.class_id)) {
      FindClassByName(kFindExact, known->local, class_ref, at_end, class_found);
      if (class_found) class_name = known->local;
    }
  if (!class_found) {
    Text full = convert(Trimmed(e.class_name));
    class_name = MapName(full, kClassNameWidth, [&](const Text& candidate) {
      const IdEntry* holder = ids_.ByLocal(kIdClass, candidate);
      return holder && (e.class_id.empty() ? holder->full_name != e.class_name : holder->id != e.class_id);
    });
    if (!class_name.empty()) FindClassByName(kFindExact, class_name, class_ref, at_end, class_found);
    if (UpStr(full).size() > kClassNameWidth && !class_name.empty())
      log_once(kIdClass, e.class_name, "Klassnamnet \"" + full + "\" sparas som \"" + class_name + "\" (hela namnet beh\xE5lls f\xF6r export)");
  }
  Text display_club = DisplayName(false, club.ClubName.get());
  Text who = e.team ? team : name;
  Text text = display_club + " " + class_name + " " + DisplayName(false, who);
  bool class_error = !class_found;
  if (class_error) {
    if (class_name.empty()) return refuse(text, "Anm\xE4lan utan klass: \"" + who + "\" importeras inte");
    // What is stored so far is committed before the user is asked: an answer can take long.
    if (!batch_.Commit()) {
      report_(text, 0, 0);
      complete_ = false;
      return false;
    }
    MsgLine = "Klassen ej definierad..." + class_name + " Addera person.";
    if (!ShowMsg(101)) {
      report_(text, 0, 0);
      Log(".passed Felaktig Klass: " + class_name + " dNr:   0  " + display_club + "  " + DisplayName(false, who));
      complete_ = false;
      return true;
    }
    ClearClassRec();
    KlassRec.Bet.set(class_name);
  }
  TKlassRec klass = KlassRec;

  std::int32_t ref = 0;
  Text card_kept;
  bool stored = batch_.Store([&] {
    if (!club_known) {
      ClubRec = club;
      if (!PutClub(true, club_ref)) return false;
      if (!e.org_id.empty() && !ids_.Put({kIdClub, ClubRec.ClubName.get(), e.org_id, {}, e.org_name, {}})) return false;
    }
    if (class_error) {
      KlassRec = klass;
      if (!PutClass(true, class_ref)) return false;
      if ((!e.class_id.empty() || UpStr(FromXml(e.class_name).text).size() > kClassNameWidth) &&
          !ids_.Put({kIdClass, class_name, e.class_id, {}, e.class_name, {}}))
        return false;
      klass = KlassRec;
    }
    KlassRec = klass;
    ClearEntrant();
    TEntrantRec& r = EntrantRec;
    r.ClassRef = class_ref;
    r.ClubRef = club_ref;
    int stages = std::clamp<int>(KlassRec.StrNr, 1, 5);
    for (int j = 0; j < stages; ++j) r.EntrantCourse[j] = KlassRec.Bana[j];
    bool open = IsOpenClass(KlassRec.Bet.get());
    if (!e.team) {
      for (int s = 0; s < std::clamp<int>(InfoRec.StrNr, 1, 5); ++s) r.StageName[s].set(name.substr(0, kPersonNameWidth));
      if (person->card.size() <= 7) r.ExtraText.set(FromXml(person->card).text);
      else card_kept = FromXml(person->card).text;
    } else {
      r.TeamOrRanking.set(team.substr(0, kTeamNameWidth));
      for (const PersonItem& m : e.members) {
        int leg = m.leg >= 1 ? m.leg : static_cast<int>(&m - e.members.data()) + 1;
        Text runner = UpStr(convert(FullName(m)));
        if (leg <= stages && !runner.empty()) r.StageName[leg - 1].set(runner.substr(0, kPersonNameWidth));
      }
    }
    // The class's entry counter and the start time that follows from it (no start time given).
    int M = InfoRec.eftstartl ? 1 : 0;
    int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
    if (KlassRec.eftAnm[M] != -1 || open) {
      ++KlassRec.eftAnm[open ? 1 : M];
      r.Counted = 1;
    }
    for (int j = 0; j < stages; ++j) {
      int per = std::max<int>(1, KlassRec.nontime[j]);
      std::int32_t interval = KlassRec.SMell[j];
      std::int32_t& t = r.StartTime[j];
      if (interval == 0) t = 0;
      else if (KlassRec.eftAnm[M] != -1 && !open && M == 1) t = ((KlassRec.Count[0][d] - KlassRec.eftAnm[0]) / per) * interval;
      else if (KlassRec.eftAnm[M] != -1 && !open) t = -((KlassRec.eftAnm[M] / per) + 1) * interval;
      else if (KlassRec.eftAnm[M] != -1) t = (KlassRec.eftAnm[1] / per) * interval;
      if (t + KlassRec.FrstStTid[j] > InfoRec.StTidCount[j] && t < 5999940) InfoRec.StTidCount[j] = t + KlassRec.FrstStTid[j];
    }
    if (open) r.Placing[0][0] = -1;
    // The first free start number from the entrant file's length up.
    TEntrantRec entrant = r;
    std::int32_t number = FileLen(EntrantFile);
    for (;; ++number) {
      std::int32_t probe = 0;
      bool probe_end = false, taken = false;
      FindEntrant(kFindExact, ZeroStr(number, 4), probe, probe_end, taken);
      if (!taken || number >= 9999) break;
    }
    EntrantRec = entrant;
    EntrantRec.EntryNumber = static_cast<std::int16_t>(number);
    EntrantRec.StartNumber.set(ZeroStr(number, 4));
    TEntrantRec ready = EntrantRec;
    if (!RewriteClass(class_ref)) return false;
    EntrantRec = ready;
    if (!PutEntrant(true, ref)) return false;
    Text check = CheckOf(EntrantRec);
    if (!e.team) {
      std::string extra = e.entry_id + (card_kept.empty() ? std::string() : "\t" + person->card);
      std::string full = Trimmed(person->given) + "\t" + Trimmed(person->family);
      return ids_.Put({kIdPerson, EntrantLocal(ref), person->id, extra, full, check});
    }
    if (!ids_.Put({kIdTeam, EntrantLocal(ref), e.entry_id, {}, e.team_name, check})) return false;
    for (const PersonItem& m : e.members) {
      int leg = m.leg >= 1 ? m.leg : static_cast<int>(&m - e.members.data()) + 1;
      if (m.id.empty() && m.card.empty() && m.given.size() + m.family.size() <= kPersonNameWidth) continue;
      std::string full = Trimmed(m.given) + "\t" + Trimmed(m.family);
      if (!ids_.Put({kIdMember, MemberLocal(ref, leg), m.id, m.card, full, check})) return false;
    }
    return true;
  });
  if (!stored) {
    // The batch was taken back and said so in the log; the file ends here.
    report_(text, 0, 0);
    complete_ = false;
    return false;
  }
  if (!club_known) ShowText(1, "Klubben ej definierad!!");
  if (name.size() > kPersonNameWidth) log_once(kIdPerson, FullName(*person), "Namnet \"" + name + "\" kortas till " + std::to_string(kPersonNameWidth) + " tecken (hela namnet beh\xE5lls f\xF6r export)");
  if (team.size() > kTeamNameWidth) log_once(kIdTeam, e.team_name, "Lagnamnet \"" + team + "\" kortas till \"" + team.substr(0, kTeamNameWidth) + "\" (hela namnet beh\xE5lls f\xF6r export)");
  if (!card_kept.empty()) Log("     Brickan \"" + card_kept + "\" ryms inte i deltagarposten (7 tecken): den beh\xE5lls f\xF6r export");
  report_(text, 1, 0);
  if (!club_known || class_error)
    Log(Text(".added  Felaktig") + (class_error ? " Klass" : "") + (!club_known ? " odefinierad klubb" : "") + ": " + class_name +
        " dNr:" + IntStr(EntrantRec.EntryNumber, 4) + "  " + display_club + "  " + DisplayName(false, who) + "  " +
        EntrantRec.TeamOrRanking.get());
  return true;
}

}  // namespace olbrax::iof
