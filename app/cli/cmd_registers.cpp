// The registers of a data directory: olbrax-cli show REGISTER, erase-entrants.
#include <functional>

#include "base/messages.h"
#include "base/times.h"
#include "cli/cli.h"
#include "cli/data_session.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/entrants.h"
#include "competition/registers/register_find.h"
#include "competition/registers/results.h"
#include "competition/registers/shared_registers.h"
#include "printing/config/configuration.h"

namespace olbrax::cli {
namespace {

using FindFn = void (*)(int, std::string_view, std::int32_t&, bool&, bool&);

// Walks a register in key order: `key_of` gives the key of the record just read, so that the
// walk can go on after it. False, with the reason printed, when the walk could not reach the end:
// the engine failed, or an index entry names a record that is free or beyond the file (the
// listing would otherwise end early or skip records without a word).
bool Walk(FindFn find, const std::function<Text()>& key_of, const std::function<void()>& line) {
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  find(kFindReset, "", ref, at_end, found);
  Text key;
  for (;;) {
    find(kFindNext, key, ref, at_end, found);
    if (!found && !(at_end && !IsamOK && IsamError == isam::kNextNotFound)) {
      if (!IsamOK) Err("olbrax-cli show: " + MsgText(IsamError));
      else Err("olbrax-cli show: indexet pekar p\xE5 post " + IntStr(ref, 0) + ", som saknas eller \xE4r raderad (se olbrax-cli check)");
      return false;
    }
    if (at_end) return true;
    key = key_of();
    line();
  }
}

int RunShow(Context& ctx) {
  if (ctx.args.size() != 1) return Usage("show");
  const std::string what = ctx.args[0];
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!ArchiveOpen) {
    ReportMsgLine();
    return 1;
  }
  bool needs_competition = what == "classes" || what == "entrants" || what == "controls" || what == "courses";
  if (needs_competition && !RequireCompetition("show")) return 1;
  bool walked = true;
  if (what == "clubs") {
    walked = Walk(FindClub, [] { return ClubRec.ClubName.get(); }, [] {
      Text line = IntStr(ClubRec.ClubNumber, 5) + " | " + DisplayName(false, ClubRec.ClubName.get()) + " | distrikt " +
                  ClubRec.DistrictNumber.get() + " | " + ClubRec.ClubCode.get();
      // The club's two fees in the current competition.
      std::int32_t ref = ClubState.last_found;
      if (CompetitionOpen && ref >= 1 && ref <= kMaxClubRecords)
        line += " | avgifter " + RealStr(ClubAmount(ref, 1), 0) + " " + RealStr(ClubAmount(ref, 2), 0);
      Out(line);
    });
  } else if (what == "districts") {
    walked = Walk(FindDistrict, [] { return DistrRec.Dnr.get(); },
         [] { Out(DistrRec.Dnr.get() + " | " + DistrRec.Dname.get() + " | " + DistrRec.Dkort.get()); });
  } else if (what == "routes") {
    bool long_form = GeneralSettings.RouteFormat == 1;
    walked = Walk(FindRoute, [long_form] { return long_form ? Route24Rec.RouteKey.get() : RouteRec.RouteKey.get(); },
         [long_form] {
           if (long_form)
             Out(Route24Rec.RouteKey.get() + " | " + IntStr(Route24Rec.RouteNumber, 3) + " | " + Route24Rec.RouteText.get());
           else
             Out(RouteRec.RouteKey.get() + " | " + IntStr(RouteRec.RouteNumber, 3) + " | " + RouteRec.RouteText.get());
         });
  } else if (what == "classes") {
    walked = Walk(FindClassBySortKey, [] { return KlassRec.SortOrdn.get(); }, [] {
      Text courses;
      for (int s = 0; s < std::clamp<int>(KlassRec.StrNr, 1, 5); ++s) courses += (s ? " " : "") + KlassRec.Bana[s].get();
      Out(KlassRec.Bet.get() + " | " + KlassRec.SortOrdn.get() + " | banor " + courses + " | deltagare " +
          IntStr(KlassRec.Count[0][0], 0));
    });
  } else if (what == "entrants") {
    walked = Walk(FindEntrant, [] { return EntrantRec.StartNumber.get(); }, [] {
      std::int32_t ref = EntrantRec.ClassRef;
      bool e, f;
      TEntrantRec entrant = EntrantRec;
      FindClassByName(kFindRecord, "", ref, e, f);
      Text class_name = f ? KlassRec.Bet.get() : "?";
      if (!f) ClearClassRec();
      ref = entrant.ClubRef;
      FindClub(kFindRecord, "", ref, e, f);
      Text club = f ? DisplayName(false, ClubRec.ClubName.get()) : "";
      EntrantRec = entrant;
      // Per stage of the class: the start clock, the finish (or status) and the running time.
      Text times;
      int stages = std::clamp<int>(KlassRec.StrNr, 1, 5);
      for (int j = 1; j <= stages; ++j) {
        std::int32_t finish = entrant.FinishTime[j - 1][0];
        times += " | " + (stages > 1 ? "dag " + IntStr(j, 0) + ": " : Text()) + "start " +
                 TimeText(4, entrant.StartTime[j - 1] + KlassRec.FrstStTid[j - 1]) + " m\xE5l " +
                 (finish != 0 ? TrimRight(ResultText(4, finish, j)) : Text("-")) + " tid " +
                 (finish != 0 ? TrimRight(ResultText(4, entrant.RunTime[j][0], j)) : Text("-"));
      }
      Out(EntrantRec.StartNumber.get() + " | " + DisplayName(false, EntrantRec.StageName[0].get()) + " | " + class_name +
          " | " + club + times);
    });
  } else if (what == "controls" || what == "courses") {
    OpenDefinitions();
    if (!DefinitionsOpen) {
      Err("olbrax-cli show: t\xE4vlingens definitioner kan inte \xF6ppnas: " + MsgText(IsamError));
      return 1;
    }
    if (what == "controls") {
      walked = Walk(FindControl, [] { return KontrRec.KodNr.get(); }, [] {
        Text line = KontrRec.KodNr.get() + " |";
        for (const auto& r : KontrRec.R) line += " " + (r.empty() ? Text("-") : r.get());
        Out(line);
      });
    } else {
      walked = Walk(FindCourse, [] { return TrackRec.Bana.get(); }, [] {
        Text codes;
        for (int i = 0; i < std::min<int>(TrackRec.Antal, kMaxCourseControls); ++i) codes += " " + TrackRec.KodNr[i].get();
        Out(TrackRec.Bana.get() + " | " + IntStr(TrackRec.BanSize[0], 0) + " m | " + IntStr(TrackRec.Rise, 0) +
            " m stigning |" + codes);
      });
    }
    CloseDefinitions();
    OpenCompetition();
  } else {
    return Usage("show");
  }
  return walked ? 0 : 1;
}

int RunEraseEntrants(Context& ctx) {
  if (!ctx.args.empty()) return Usage("erase-entrants");
  DataSession data(ctx);
  if (!data.ok()) return 1;
  if (!RequireCompetition("erase-entrants")) return 1;
  std::int32_t before = UsedRecs(EntrantFile);
  if (before == 0) {
    Out("Raderade deltagare: 0");
    return 0;
  }
  bool erased = EraseAllEntrants();
  ReportMsgLine();
  if (!erased) {
    Err(Text("olbrax-cli erase-entrants: deltagarna raderades inte") + (ctx.yes ? "" : " (utan --yes svaras Nej)"));
    return 1;
  }
  Out("Raderade deltagare: " + IntStr(before, 0));
  return 0;
}

Registrar show({"show", "clubs|districts|classes|controls|courses|routes|entrants",
                "list a register of the data directory in key order", RunShow});
Registrar erase({"erase-entrants", "--yes", "erase all entrants of the current competition", RunEraseEntrants});

}  // namespace
}  // namespace olbrax::cli
