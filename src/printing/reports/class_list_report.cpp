// "klasslista": for every picked class a summary line and the groups of its figures per stage.
#include <algorithm>
#include <vector>

#include "base/times.h"
#include "competition/archive.h"
#include "competition/records/class_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/definitions.h"
#include "competition/registers/results.h"
#include "printing/engine/print_engine.h"
#include "printing/reports/class_list.h"
#include "printing/reports/definition_reports.h"

namespace olbrax::print {

namespace {

int D() { return std::clamp<int>(InfoRec.MellanTid, 0, 25); }

// A value of a stage column: numbers right-aligned in 6, texts in 6, each followed by a blank.
Text Num(long long v) { return IntStr(v, 6) + " "; }
Text Word(std::string_view v) { return PadBlank(Cut(v, 6), 6) + " "; }

}  // namespace

ClassListLayout ClassListLayoutFor(int stages, int chars_per_line) {
  ClassListLayout l;
  l.w0 = 7 * std::max(0, stages) + 12;
  l.groups_per_line = std::max(1, chars_per_line / l.w0);
  l.width = l.w0 + (chars_per_line % l.w0) / l.groups_per_line;
  return l;
}

bool IndividualLayout() { return IsOpenClass(KlassRec.Bet.get()) || InfoRec.Days != 0; }

std::vector<Text> ClassGroups() {
  const int n = std::clamp<int>(KlassRec.StrNr, 0, 5);
  const int d = D();
  const bool individual = IndividualLayout();
  std::vector<Text> groups;
  auto per_stage = [&](std::string_view label, auto value) {
    Text g(label);
    for (int s = 1; s <= n; ++s) g += value(s);
    groups.push_back(std::move(g));
  };
  per_stage("FrstStart:", [](int s) { return Word(TimeText(4, KlassRec.FrstStTid[s - 1])); });
  per_stage("BanL\xE4ngd :", [d](int s) { return Num(KlassRec.BanSize[s - 1][d]); });
  per_stage("NedRkning:", [d](int s) { return Num(KlassRec.Count[s][d]); });
  per_stage("BanKod   :", [](int s) { return Word(KlassRec.Bana[s - 1].get()); });
  if (individual) {
    per_stage("StartMell:", [](int s) { return Num(KlassRec.SMell[s - 1]); });
    per_stage("Np\xE5sammaT:", [](int s) { return Num(KlassRec.nontime[s - 1]); });
  } else {
    per_stage("BanLottn :", [](int s) { return Word(KlassRec.BanLottn[s - 1].get()); });
  }
  per_stage("StartPlts:", [](int s) { return Num(KlassRec.St[s - 1]); });
  per_stage("M\xE5lPlats :", [](int s) { return Num(KlassRec.Goal[s - 1]); });
  if (individual) {
    per_stage("FilNummer:", [](int s) { return Num(KlassRec.FilNr[s - 1]); });
    per_stage("JaktStart:", [](int s) { return Num(KlassRec.Jakt[s - 1]); });
  }
  groups.push_back("Sammanl. pris:" + IntStr(KlassRec.nPris[0], 2));
  per_stage("Pris     :", [](int s) { return Num(KlassRec.nPris[s]); });
  groups.push_back("Sammanl.start:" + IntStr(KlassRec.nStart[0], 2));
  per_stage("Startande:", [](int s) { return Num(KlassRec.nStart[s]); });
  per_stage("Strukna  :", [](int s) { return Text(KlassRec.Struken[s] ? "Struke " : "       "); });
  per_stage("SegrTid  :", [d](int s) { return Word(ResultText(4, KlassRec.SegrTid[s][d], s)); });
  return groups;
}

Text ClassLineTail() {
  const int d = D();
  return IntStr(KlassRec.FrstStNr, 4) + "-" + IntStr(KlassRec.StNrCount, 4) + " " + IntStr(KlassRec.Count[0][d], 4) +
         " " + IntStr(KlassRec.StrNr, 2) + IntStr(KlassRec.maxi, 4) + " e" +
         IntStr(KlassRec.eftAnm[0] + KlassRec.eftAnm[1], 3) + " " + Cut(ResultText(4, KlassRec.SegrTid[0][d], 0), 6) +
         " d" + IntStr(KlassRec.FirstDataNr, 4) + "-" + IntStr(KlassRec.LastDataNr, 4) + " kT" +
         TimeText(4, KlassRec.minKmTid) + "-" + TimeText(4, KlassRec.maxKmTid) + " vak" + IntStr(KlassRec.vakanser, 3);
}

void ClassListHeader() {
  CompetitionHeader();
  NeedLines("", 1);
  TabToChar(1);
  PrintLine(Text("Nr Bet..... sort 0Snr-nSnr 0Cnt Str max") + " eftan SegrT. dataNummer min-maxKmtid vak");
  PrintLine("");
  PrintRule();
}

void ClassLine() {
  TabToChar(1);
  PrintText(Cut(KlassRec.Lnr.get() + " " + KlassRec.Bet.get(), 11));
  TabToChar(13);
  PrintText(Cut(KlassRec.SortOrdn.get(), 4));
  TabToChar(18);
  PrintLine(ClassLineTail());
}

void ClassBlock() {
  const ClassListLayout layout = ClassListLayoutFor(KlassRec.StrNr, CharsPerLine());
  const std::vector<Text> groups = ClassGroups();
  const int g = layout.groups_per_line;
  const int lines = (static_cast<int>(groups.size()) + g - 1) / g;
  NeedLines("", lines + 1);
  ClassLine();
  for (std::size_t j = 0; j < groups.size(); ++j) {
    const int column = static_cast<int>(j) % g;
    TabToChar(1 + column * layout.width);
    PrintText(groups[j]);
    if (column == g - 1 || j + 1 == groups.size()) PrintLine("");
  }
  NeedLines("", 1);
  PrintLine("");
  PrintRule();
}

ReportResult ClassListReport(platform::Window owner, const Picker& pick) {
  if (!KlassFile || UsedRecs(KlassFile) <= 0) return ReportResult::kNothing;
  std::vector<std::int32_t> refs = pick(owner, PickKind::kClasses, "V\xE4lj klass(er)", true);
  if (refs.empty()) return ReportResult::kNothing;
  if (InfoRec.DagStr != 1) InfoRec.DagStr = 1;
  if (!StartReportJob(owner, "klasser")) return ReportResult::kNoPrinter;
  PrintHeading("KlassLista");
  ShowStatusLine(1, "KlassLista");
  ClassListHeader();
  const int total = static_cast<int>(refs.size());
  for (int index = 0; index < total && !PrAborted(); ++index) {
    ShowProgress(index + 1, total);
    if (!ReadEntry(PickKind::kClasses, refs[static_cast<std::size_t>(index)])) continue;
    ShowStatusLine(2, "Klass \"" + KlassRec.Bet.get() + "\" ");
    PushFont('N');
    ClassBlock();
    PopFont();
  }
  PrintPictures();
  return EndReportJob();
}

}  // namespace olbrax::print
