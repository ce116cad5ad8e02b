#include "competition/lifecycle.h"

#include <cstdlib>

#include "base/memory.h"
#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/club_recs.h"
#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/records/entrant_rec.h"
#include "competition/records/route_recs.h"
#include "printing/config/configuration.h"
#include "storage/efiler.h"

namespace olbrax {

bool EngineStarted = false;

namespace {

// The program number whose remembered directory and competition the data layer uses.
constexpr int kDataSlot = 5;
bool g_installed = false;
bool g_done = false;

void AtExit() {
  // The process ends without the window's normal destruction: write back what is open.
  if (g_installed && !g_done) {
    CloseCompetition();
    CloseArchive();
    ExitCompetitionData();
  }
}

}  // namespace

void ClearAllRecords() {
  ClearCompetitionRec();
  ClearClassRec();
  ClearEntrant();
  ClearClub();
  ClearDistrict();
  ClearControl();
  ClearCourse();
  ClearRoute();
  ClearRoute24();
  std::memset(&CmpClubRec, 0, sizeof CmpClubRec);
}

void InitCompetitionData(std::span<const Text> args) {
  GeneralSettings.CurrentCompetition = GeneralSettings.remembered_competition[kDataSlot];
  Text dir = GeneralSettings.remembered_directory[kDataSlot].get();
  if (!dir.empty()) GeneralSettings.DataDirectory.set(dir);
  EngineStarted = StartIsam(args);
  // The record buffers are static; the memory check stays for the same message and end.
  const std::size_t sizes[] = {sizeof(TInfoRec), sizeof(TKlassRec), sizeof(TEntrantRec), sizeof(TClubRec),
                               sizeof(TDistrRec), sizeof(TKontrRec), sizeof(TTrackRec), sizeof(TRouteRec),
                               sizeof(TRoute24Rec)};
  for (std::size_t s : sizes) {
    if (!MemAvail(static_cast<std::int64_t>(s))) {
      MsgLine = "Fel vid initiering olvariabler!";
      std::exit(8);
    }
  }
  if (!MemAvail(sizeof(TCmpClubRec))) {
    MsgLine = "Fel vid initiering av CmpClubRec.";
    std::exit(8);
  }
  ClearAllRecords();
  InitCompetitionKeys();
  g_done = false;
  if (!g_installed) {
    std::atexit(AtExit);
    g_installed = true;
  }
}

void ExitCompetitionData() {
  if (g_done) return;
  g_done = true;
  GeneralSettings.remembered_directory[kDataSlot].set(GeneralSettings.DataDirectory.get());
  GeneralSettings.remembered_competition[kDataSlot] = GeneralSettings.CurrentCompetition;
  if (EngineStarted) ExitIsam();
  EngineStarted = false;
}

}  // namespace olbrax
