#include "competition/data_state.h"

#include "competition/archive.h"
#include "competition/records/competition_rec.h"
#include "storage/efiler.h"

namespace olbrax {

namespace {

std::int32_t Used(FileBlock* fb) { return fb ? UsedRecs(fb) : 0; }

// Entries of the long-form route file, counted even when the short form is in use.
std::int32_t LongRoutes() {
  if (RouteFile && RouteFormatInUse == 1) return Used(RouteFile);
  FileBlock* fb = nullptr;
  OpenFileBlock(fb, DataFileName("RUTB24"));
  if (!IsamOK) return 0;
  std::int32_t n = UsedRecs(fb);
  CloseFileBlock(fb);
  return n;
}

}  // namespace

DataMarks ComputeDataMarks() {
  DataMarks m;
  m.A = !ArchiveOpen;
  m.C = m.A || Used(ClubFile) <= 0;
  m.R = m.A || LongRoutes() <= 0;
  m.P = !CompetitionOpen;
  m.E = m.P || Used(EntrantFile) <= 0;
  CloseCompetition();
  OpenDefinitions();
  m.B = !DefinitionsOpen || Used(TrackFile) <= 0;
  m.K = !DefinitionsOpen || Used(KontrFile) <= 0;
  CloseDefinitions();
  OpenCompetition();
  return m;
}

Text DataStatusText() {
  Text t;
  if (CompetitionOpen) t = (InfoRec.Tvl.get() + " " + InfoRec.Arr.get()).substr(0, 81);
  else if (ArchiveOpen) t = "<t\xE4vling ej vald/inmatad>";
  else t = "<datafiler saknas>";
  if (CompetitionOpen && Used(EntrantFile) <= 0) t += " <inga t\xE4vlande inmatade>";
  return t;
}

std::vector<Text> StatisticsLines() {
  std::vector<Text> lines;
  if (ArchiveOpen) {
    lines.push_back("Antal t\xE4vlingar: " + IntStr(ArchiveCount, 2) + " [" + IntStr(8, 2) + "] " +
                    " max antal str\xE4" "ckor/etapper: " + IntStr(5, 3) + " ");
    lines.push_back("klubbar: " + IntStr(Used(ClubFile), 3) + " [" + IntStr(900, 3) + "] " + "distrikt: " +
                    IntStr(Used(DistrFile), 3) + " [" + IntStr(100, 3) + "] ");
  }
  if (CompetitionOpen) {
    lines.push_back("klasser: " + IntStr(Used(KlassFile), 3) + " [" + IntStr(80, 2) + "] " +
                    " max deltagare i klassen: " + IntStr(250, 3) + " ");
    lines.push_back("deltagare: " + IntStr(Used(EntrantFile), 5) + " [" + IntStr(3200, 5) + "] ");
  }
  CloseCompetition();
  OpenDefinitions();
  if (DefinitionsOpen) {
    lines.push_back("rutbeskrivningar: " + IntStr(LongRoutes(), 5) + " " + "kontroller: " + IntStr(Used(KontrFile), 5) +
                    " [" + IntStr(512, 2) + "] ");
    lines.push_back("banor: " + IntStr(Used(TrackFile), 5) + " " + " max kontroller per bana: " + IntStr(35, 3) + " ");
  }
  CloseDefinitions();
  OpenCompetition();
  return lines;
}

Text AddressText(const AddressBlock& block) {
  Text t;
  for (int i = 0; i < 5; ++i) {
    if (i > 0) t += "\r\n";
    t += block.line[i].get();
  }
  while (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
  return t;
}

void SetAddressText(AddressBlock& block, std::string_view text) {
  std::memset(&block, 0, sizeof block);
  Text t(text);
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
  int line = 0;
  std::size_t at = 0;
  while (line < 5 && at <= t.size()) {
    std::size_t brk = t.find('\n', at);
    Text part;
    if (brk == Text::npos) {
      part = t.substr(at) + "  ";  // a last line without a break
      at = t.size() + 1;
    } else {
      part = t.substr(at, brk - at);
      at = brk + 1;
    }
    if (!part.empty() && part.back() == '\r') part.pop_back();
    block.line[line++].set(part.substr(0, 22));
  }
}

}  // namespace olbrax
