// Control points, control descriptions per class and control definitions per course.
#include "printing/reports/definition_reports.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/course_sheets.h"
#include "printing/reports/description_grid.h"
#include "printing/reports/print_sheet_target.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

namespace {

std::int32_t Count(FileBlock* fb) { return fb ? UsedRecs(fb) : 0; }

}  // namespace

ReportResult ControlPointsReport(platform::Window owner, const Picker& pick) {
  if (Count(KontrFile) <= 0) return ReportResult::kNothing;
  std::vector<std::int32_t> refs = pick(owner, PickKind::kControls, "V\xE4lj kontroll(er)", true);
  if (refs.empty()) return ReportResult::kNothing;
  if (!StartReportJob(owner, "kontroller")) return ReportResult::kNoPrinter;
  ReportInit();
  PrintHeading(DefinitionHeading("Kontrollpunkter. ("));
  InfoRec.DagStr = 0;
  CompetitionHeader();
  ShowStatusLine(1, "Kontrollpunkter");
  const int across = AcrossCount();
  const int total = static_cast<int>(refs.size());
  DescriptionSlot slots[8];
  int used = 0, widest = 0, count = 0;

  // A closing row under every slot used so far.
  auto closing_row = [&] {
    if (widest == 0) return;
    DescriptionSlot closing[8];
    for (int i = 0; i < widest; ++i) closing[i].kind = DescriptionSlot::kClosing;
    DescriptionRow(widest, true, closing);
  };
  auto print_group = [&] {
    for (int i = used; i < across; ++i) slots[i].kind = DescriptionSlot::kNothing;
    // A group that does not fit closes the descriptions above it and goes to the next column.
    if (!FitsSpace(false, 1.5 * RowHeight())) {
      closing_row();
      FitsSpace(true, 1.5 * RowHeight());
    }
    DescriptionRow(across, false, slots);
    widest = std::max(widest, used);
    used = 0;
  };

  for (int index = 0; index < total && !PrAborted(); ++index) {
    if (!ReadEntry(PickKind::kControls, refs[static_cast<std::size_t>(index)])) continue;
    ++count;
    const Text code = KontrRec.KodNr.get();
    ShowText(1, code);
    ShowProgress(index + 1, total);
    ShowStatusLine(2, "KodNr:" + code);
    DescriptionSlot& slot = slots[used++];
    slot.kind = DescriptionSlot::kControl;
    slot.control = KontrRec;
    if (!CodeStartsWith(code, "MST")) slot.control.R[0].set(IntStr(count, 2));
    if (used == across) print_group();
  }
  if (used > 0 && !PrAborted()) print_group();
  if (!PrAborted()) closing_row();
  return FinishReport("Antal utskrivna kontrollpunkter " + IntStr(count, 4) + " [" + IntStr(Count(KontrFile), 4) + "]");
}

Text StageQuestion(int stages) { return "Etapp att skriva ut (1-" + IntStr(stages, 1) + "):"; }

ReportResult ClassDescriptionsReport(platform::Window owner, const Picker& pick) {
  if (Count(KlassFile) <= 0) return ReportResult::kNothing;
  // The stage first: a competition of one stage prints stage 1; one of several stages asks.
  InfoRec.MellanTid = 0;
  const int stages = std::clamp<int>(InfoRec.StrNr, 1, 5);
  if (stages == 1) {
    InfoRec.DagStr = 1;
  } else {
    int stage = std::clamp<int>(InfoRec.DagStr, 1, stages);
    if (!platform::CurrentUi().AskNumberOrCancel(owner, stage, StageQuestion(stages))) return ReportResult::kNothing;
    if (stage < 1 || stage > stages) {
      ShowText(1, "Etapp " + IntStr(stage, 0) + " finns inte, t\xE4vlingen har " + IntStr(stages, 0) + " etapper");
      return ReportResult::kNothing;
    }
    InfoRec.DagStr = static_cast<std::int16_t>(stage);
  }
  std::vector<std::int32_t> refs = pick(owner, PickKind::kClasses, "V\xE4lj klass(er)", true);
  if (refs.empty()) return ReportResult::kNothing;
  if (!StartReportJob(owner, "banor")) return ReportResult::kNoPrinter;
  ReportInit();
  PrintHeading(DefinitionHeading("Kontrollbeskrivningar. ("));
  CompetitionHeader();
  ShowStatusLine(1, "Kontrollbeskrivningar");
  const int across = AcrossCount();
  const int total = static_cast<int>(refs.size());
  const int stage = InfoRec.DagStr;
  std::vector<TTrackRec> courses;
  std::vector<TKlassRec> classes;
  int count = 0;
  for (int index = 0; index < total && !PrAborted(); ++index) {
    ShowProgress(index + 1, total);
    if (!ReadEntry(PickKind::kClasses, refs[static_cast<std::size_t>(index)])) continue;
    TKlassRec klass = KlassRec;
    const Text course = klass.Bana[stage - 1].get();
    ShowText(1, "Klass:" + klass.Bet.get());
    std::int32_t ref = 0;
    bool at_end = false, found = false;
    if (!course.empty()) FindCourse(kFindExact, course, ref, at_end, found);
    if (NoteReadFailure()) break;
    if (!found) continue;
    classes.push_back(klass);
    courses.push_back(TrackRec);
    ++count;
    if (static_cast<int>(courses.size()) == across) {
      CourseSheets(across, courses.data(), classes.data());
      courses.clear();
      classes.clear();
    }
  }
  if (!courses.empty() && !PrAborted()) CourseSheets(static_cast<int>(courses.size()), courses.data(), classes.data());
  return FinishReport("Antal utskrivna banor: " + IntStr(count, 4) + " [" + IntStr(Count(TrackFile), 4) + "]");
}

ReportResult CourseDefinitionsReport(platform::Window owner, const Picker& pick) {
  if (Count(TrackFile) <= 0) return ReportResult::kNothing;
  std::vector<std::int32_t> refs = pick(owner, PickKind::kCourses, "V\xE4lj ban(a)(or)", true);
  if (refs.empty()) return ReportResult::kNothing;
  if (!StartReportJob(owner, "banor")) return ReportResult::kNoPrinter;
  ReportInit();
  PrintHeading(DefinitionHeading("Kontrolldefinitioner. ("));
  InfoRec.DagStr = 0;
  CompetitionHeader();
  const int across = AcrossCount();
  const int total = static_cast<int>(refs.size());
  std::vector<TTrackRec> courses;
  int count = 0;
  for (int index = 0; index < total && !PrAborted(); ++index) {
    ShowProgress(index + 1, total);
    if (!ReadEntry(PickKind::kCourses, refs[static_cast<std::size_t>(index)])) continue;
    const Text line = "Bana:" + TrackRec.Bana.get();
    ShowStatusLine(1, line);
    ShowText(1, line);
    courses.push_back(TrackRec);
    ++count;
    if (static_cast<int>(courses.size()) == across) {
      CourseSheets(across, courses.data(), nullptr);
      courses.clear();
    }
  }
  if (!courses.empty() && !PrAborted()) CourseSheets(static_cast<int>(courses.size()), courses.data(), nullptr);
  return FinishReport("Antal banor utskrivna: " + IntStr(count, 4) + " [" + IntStr(Count(TrackFile), 4) + "]");
}

}  // namespace olbrax::print
