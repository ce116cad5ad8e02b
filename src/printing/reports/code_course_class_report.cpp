// "kodbanaklass": for every picked control its description, the courses that pass it with its
// position in them, the classes that run those courses and the number of visitors.
#include <algorithm>
#include <array>
#include <vector>

#include "base/counter.h"
#include "base/memory.h"
#include "base/messages.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/records/definition_recs.h"
#include "competition/registers/definitions.h"
#include "competition/registers/register_find.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/definition_reports.h"
#include "printing/reports/print_sheet_target.h"
#include "printing/reports/report_setup.h"

namespace olbrax::print {

namespace {

constexpr int kMaxCodes = 512, kMaxClasses = 80;
// The memory the collection takes in the program's own layout.
constexpr int kCollectionBytes = 77812;

// One stage of a class with the controls of its course.
struct ClassStage {
  Text class_name;
  int stage = 0;
  Text course;
  std::vector<Text> codes;
};

struct ClassCounts {
  Text name;
  std::array<int, 6> count{};  // entrants per stage, 0 = all stages
};

std::int32_t Count(FileBlock* fb) { return fb ? UsedRecs(fb) : 0; }

// The position of `code` in the course, counted without "T" controls; 0 when not in it.
int PositionIn(const ClassStage& cs, const Text& code) {
  int position = 0;
  for (const Text& c : cs.codes) {
    if (!CodeStartsWith(c, "T")) ++position;
    if (c == code) return position;
  }
  return 0;
}

}  // namespace

ReportResult CodeCourseClassReport(platform::Window owner, const Picker& pick) {
  if (Count(KontrFile) <= 0 || Count(TrackFile) <= 0) return ReportResult::kNothing;
  if (!MemAvail(kCollectionBytes)) {
    ShowText(1, "Minnet slut f\xF6r variabler");
    return ReportResult::kNothing;
  }
  std::vector<std::int32_t> refs = pick(owner, PickKind::kControls, "V\xE4lj kontroll(er)", true);
  if (refs.empty()) return ReportResult::kNothing;
  if (refs.size() > static_cast<std::size_t>(kMaxCodes)) refs.resize(kMaxCodes);

  // The collection: the picked codes, then every class with the controls of each stage's course.
  const int total = static_cast<int>(refs.size());
  const int stages = std::clamp<int>(InfoRec.StrNr, 1, 5);
  const int d = std::clamp<int>(InfoRec.MellanTid, 0, 25);
  OpenCounter(owner, 5, "Kodsiffra, Banor, Klasser..");
  std::vector<Text> codes;
  for (std::int32_t ref : refs) {
    if (!ReadEntry(PickKind::kControls, ref)) continue;
    codes.push_back(KontrRec.KodNr.get());
    CounterLine(2, "Antal kontroller: [" + IntStr(total, 3) + "] \"" + codes.back() + "\"");
  }
  std::vector<ClassStage> stage_courses;
  std::vector<ClassCounts> class_counts;
  if (KlassFile) {
    std::int32_t last = FileLen(KlassFile) - 1;
    for (std::int32_t ref = 1; ref <= last && static_cast<int>(class_counts.size()) < kMaxClasses; ++ref) {
      std::int32_t r = ref;
      bool at_end = false, found = false;
      FindClassByName(kFindRecord, "", r, at_end, found);
      if (NoteReadFailure()) break;
      if (!found) continue;
      const TKlassRec klass = KlassRec;
      ClassCounts counts;
      counts.name = klass.Bet.get();
      for (int s = 0; s <= 5; ++s) counts.count[static_cast<std::size_t>(s)] = klass.Count[s][d];
      class_counts.push_back(counts);
      for (int s = 1; s <= stages; ++s) {
        ClassStage cs;
        cs.class_name = counts.name;
        cs.stage = s;
        cs.course = klass.Bana[s - 1].get();
        CounterLine(3, "nKlass:" + IntStr(static_cast<int>(class_counts.size()), 0) + " Bana: \"" + cs.course + "\"");
        std::int32_t cref = 0;
        bool ce = false, cf = false;
        if (!cs.course.empty()) FindCourse(kFindExact, cs.course, cref, ce, cf);
        if (NoteReadFailure()) break;
        if (!cf) continue;
        int n = std::clamp<int>(TrackRec.Antal, 0, kMaxCourseControls);
        for (int c = 0; c < n; ++c) {
          cs.codes.push_back(TrackRec.KodNr[c].get());
          CounterLine(3, "nKlass:" + IntStr(static_cast<int>(class_counts.size()), 0) + " Bana: \"" + cs.course +
                             "\" nKontr:" + IntStr(c + 1, 0));
        }
        stage_courses.push_back(std::move(cs));
      }
    }
  }
  CounterLine(4, "Antal klasser:" + IntStr(static_cast<int>(class_counts.size()), 0));
  CloseCounter();
  // A collection that a failed read left incomplete is not printed.
  if (ShowReadFailure()) return ReportResult::kFailed;

  if (!StartReportJob(owner, "kodbanaklass")) return ReportResult::kNoPrinter;
  ReportInit();
  PrintHeading(DefinitionHeading("Kod, Bana, Klass. ("));
  CompetitionHeader();
  InfoRec.DagStr = 1;
  NeedLines("", 2);
  PrintLine("Kontroller:" + IntStr(Count(KontrFile), 4) + ". Banor:" + IntStr(Count(TrackFile), 4) +
            ". Klasser:" + IntStr(Count(KlassFile), 4));
  PrintLine("");
  PushFont('B');
  NeedLines("", 1);
  TabToChar(1);
  PrintText("Kod");
  PopFont();
  TabToChar(8);
  PrintLine("Bana(kontrnr) Klass[etapp]....");

  const bool relay = InfoRec.Relay != 0 || InfoRec.Days == 0;
  const int width = CharsPerLine();
  int printed = 0;
  const int picked = static_cast<int>(codes.size());
  for (int index = 0; index < picked && !PrAborted(); ++index) {
    const Text& code = codes[static_cast<std::size_t>(index)];
    ShowText(1, code);
    ShowProgress(index + 1, picked);
    ShowStatusLine(1, "Kontroll \"" + code + "\"");
    std::int32_t ref = 0;
    bool at_end = false, in_register = false;
    FindControl(kFindExact, code, ref, at_end, in_register);
    if (NoteReadFailure()) break;
    if (in_register) {
      ++printed;
      DescriptionSlot slot[1];
      slot[0].kind = DescriptionSlot::kControl;
      slot[0].control = KontrRec;
      if (!CodeStartsWith(code, "MST")) slot[0].control.R[0].set(IntStr(index + 1, 2));
      DescriptionRow(1, false, slot);
      slot[0].kind = DescriptionSlot::kClosing;
      DescriptionRow(1, true, slot);
    } else {
      PushFont('B');
      NeedLines("", 1);
      TabToChar(1);
      PrintText(PadBlank(code, 3));
      PrintLine(" Kan ej finna kontrolldefinitionen!");
      PopFont();
    }

    // The courses that pass the code, in the order the classes first name them.
    std::vector<Text> courses;
    for (const ClassStage& cs : stage_courses)
      if (PositionIn(cs, code) > 0 && std::find(courses.begin(), courses.end(), cs.course) == courses.end())
        courses.push_back(cs.course);
    std::array<int, 6> visitors{};
    std::vector<Text> visiting;
    for (const Text& course : courses) {
      const ClassStage* first = nullptr;
      for (const ClassStage& cs : stage_courses)
        if (cs.course == course) {
          first = &cs;
          break;
        }
      Text where = CodeStartsWith(code, "SMT") ? Text(1, static_cast<char>(UpChar(static_cast<unsigned char>(code[0]))))
                                                : IntStr(PositionIn(*first, code), 2);
      NeedLines("", 1);
      TabToChar(8);
      PrintText(course + "(" + where + ")");
      int column = 0;
      for (const ClassStage& cs : stage_courses) {
        if (cs.course != course) continue;
        Text name = cs.class_name;
        if (stages > 1) name += "[" + IntStr(cs.stage, 0) + " ";
        if (column > 0 && 18 + 12 * (column + 1) > width) {
          PrintLine("");
          NeedLines("", 1);
          column = 0;
        }
        TabToChar(18 + 12 * column);
        PrintText(name);
        ++column;
        for (const ClassCounts& cc : class_counts)
          if (cc.name == cs.class_name) {
            visitors[static_cast<std::size_t>(cs.stage)] += cc.count[static_cast<std::size_t>(cs.stage)];
            if (std::find(visiting.begin(), visiting.end(), cc.name) == visiting.end()) {
              visiting.push_back(cc.name);
              visitors[0] += cc.count[0];
            }
            break;
          }
      }
      PrintLine("");
    }
    // The visitors' line in the big font and an empty line.
    NeedLines("", 2.5);
    PushFont('B');
    TabToChar(1);
    PrintText(code + " ");
    PopFont();
    Text line = "Antal bes\xF6kande";
    if (relay) {
      line += Text(" alla sträckor:"_w) + IntStr(visitors[0], 4);
    } else {
      for (int s = 1; s <= stages; ++s)
        if (visitors[static_cast<std::size_t>(s)] > 0)
          line += ", etapp[" + IntStr(s, 0) + "]:" + IntStr(visitors[static_cast<std::size_t>(s)], 4);
    }
    PrintLine(line);
    PrintLine("");
  }
  return FinishReport("Antal utskrivna kontroller " + IntStr(printed, 4) + " [" + IntStr(Count(KontrFile), 4) + "]");
}

}  // namespace olbrax::print
