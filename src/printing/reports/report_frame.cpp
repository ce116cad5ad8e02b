#include "printing/reports/report_frame.h"

#include <algorithm>

#include "base/times.h"
#include "competition/records/class_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "printing/config/configuration.h"
#include "printing/engine/job_from_config.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/report_picks.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

namespace {

// "Kl " and the name of the first class in class order; the class buffer is left as it was.
Text FirstClassName() {
  TKlassRec saved = KlassRec;
  std::int32_t ref = 0;
  bool at_end = false, found = false;
  FindClassBySortKey(kFindReset, "", ref, at_end, found);
  FindClassBySortKey(kFindNext, "", ref, at_end, found);
  NoteReadFailure();
  Text name = found ? "Kl " + KlassRec.Bet.get() : Text();
  KlassRec = saved;
  return name;
}

}  // namespace

bool StartReportJob(platform::Window owner, std::string_view job) {
  ForgetReadFailure();
  return printerinit(job, JobFromEnvironment(CurrentPrintEnvironment), owner);
}

Text DefinitionHeading(std::string_view name) {
  return Text(name) + Text(kSymbolWidth) + Text(kSymbolHeight) + " Skala " + ScaleText(DescriptionScale());
}

void CompetitionHeader() {
  // Tab positions 1, 5, 44, 56, 68, 74 and 5, 47, 53, 57, 62, 75.
  NeedLines("", 2);
  TabToChar(1);
  PrintText(InfoRec.Lnr.get());
  TabToChar(5);
  PrintText(Cut(InfoRec.Tvl.get(), 38));
  TabToChar(44);
  PrintText(Cut(InfoRec.Date.get(), 11));
  TabToChar(56);
  PrintText(Cut(InfoRec.Typ.get(), 11));
  TabToChar(68);
  PrintText("Etapp");
  TabToChar(74);
  PrintLine(IntStr(InfoRec.DagStr, 1) + "/" + IntStr(InfoRec.StrNr, 1));
  TabToChar(5);
  PrintText(Cut(InfoRec.Arr.get(), 41));
  TabToChar(47);
  PrintText("Anm:");
  TabToChar(53);
  PrintText(IntStr(InfoRec.Count[0][std::clamp<int>(InfoRec.MellanTid, 0, 25)], 4));
  TabToChar(57);
  PrintText("Kmt:");
  TabToChar(62);
  PrintText(TimeText(4, InfoRec.minKmTid) + "-" + TimeText(4, InfoRec.maxKmTid));
  TabToChar(75);
  PrintLine(FirstClassName());
  NeedLines("", 1);
  PrintLine("");
}

ReportResult FinishReport(std::string_view summary, bool report_done) {
  NeedLines("", 2);
  PrintLine("");
  PrintLine(summary);
  PrintPictures();
  if (report_done) ReportDone();
  return EndReportJob();
}

ReportResult EndReportJob() {
  const bool aborted = PrAborted();
  printerexit(0, 0);
  if (ShowReadFailure()) return ReportResult::kFailed;
  return aborted ? ReportResult::kAborted : ReportResult::kPrinted;
}

}  // namespace olbrax::print
