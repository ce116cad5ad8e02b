#include "competition/maintenance/backup_copy.h"

#include <climits>
#include <cstdlib>

#include "base/counter.h"
#include "base/memory.h"
#include "base/messages.h"
#include "competition/archive.h"
#include "competition/maintenance/file_copy.h"
#include "competition/records_check.h"
#include "printing/config/configuration.h"
#include "storage/block_check.h"
#include "storage/disk_file.h"
#include "storage/isam.h"

namespace olbrax {

Text LastBackupTarget;

namespace {

// Reads of at most 32 767 bytes, the largest a signed 16-bit count holds.
constexpr std::size_t kCopyChunk = 32767;

// The same folder under two names (a link, "..", a trailing "/").
bool SameFolder(const Text& a, const Text& b) {
  char ra[PATH_MAX], rb[PATH_MAX];
  if (!::realpath(Utf8FromWin(a).c_str(), ra) || !::realpath(Utf8FromWin(b).c_str(), rb)) return false;
  return std::string(ra) == rb;
}

// Checks every file block of the copy: it opens and passes the integrity check. An empty text
// when all do, else the first fault.
Text CheckCopy(const Text& target, const std::vector<Text>& copied) {
  for (const Text& name : copied) {
    Text up = UpStr(name);
    if (up.size() < 4 || up.compare(up.size() - 4, 4, ".DAT") != 0 || up.compare(0, 5, "CLUBS") == 0) continue;
    Text block = target + "/" + name.substr(0, name.size() - 4);
    FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, block, true, false, false, true);
    if (!IsamOK) return name + ": " + MsgText(IsamError);
    isam::CloseFileBlock(fb);
    isam::CheckResult r = isam::CheckBlock(block);
    if (r.ok && KnowsRecordKeys(block)) r = CheckRecordKeys(block);
    if (!r.ok) return name + ": " + WinFromUtf8(r.message);
  }
  return {};
}

}  // namespace

std::vector<Text> BackupFileNames(int competition) {
  std::vector<Text> names = {"OLBRAX.Dat", "CLUBAR.Dat",   "CLUBAR.IX",  "DISTR.Dat", "DISTR.IX",
                             "RUTBESKR.Dat", "RUTBESKR.IX", "RUTB24.Dat", "RUTB24.IX"};
  const char* group[][2] = {{"KLASS", ".Dat"}, {"OL", ".Dat"},    {"OL", ".Ix"},     {"KLASS", ".IX"}, {"TRACK", ".Dat"},
                            {"TRACK", ".IX"},  {"KONTR", ".Dat"}, {"KONTR", ".IX"}, {"CLUBS", ".Dat"}};
  for (const auto& g : group) names.push_back(g[0] + ZeroStr(competition, 2) + g[1]);
  // The ids that IOF XML messages brought, which every export gives back: a competition that
  // never imported one has no such file, and the copy skips it.
  for (const char* ext : {".DAT", ".IX"}) names.push_back(kIofIdFile + ZeroStr(competition, 2) + ext);
  // The label and payment-form registers live in the data directory too: a copy without them
  // would lose the user's labels and forms.
  for (const char* side : {"Etikett", "giroP", "giroB"})
    for (const char* ext : {".DAT", ".IX"}) names.push_back(Text(side) + ext);
  return names;
}

bool BackupMemoryAvailable() {
  if (MemAvail(2049)) return true;
  ShowText(1, MsgText(8) + MsgText(517));
  return false;
}

bool BackupCopy(platform::Window owner, std::string_view target_in) {
  Text target(target_in);
  while (target.size() > 1 && (target.back() == '/' || target.back() == '\\')) target.pop_back();
  LastBackupTarget = target;
  const Text dir = GeneralSettings.DataDirectory.get();

  OpenCancelCounter(owner, 4, "kopiering");
  std::int32_t nn = CurrentCompetition;
  bool reopen = CompetitionOpen || DefinitionsOpen;
  // Closed, every block is on the disk as a whole and no lock keeps the copy from reading it.
  CloseCompetition();
  CloseDefinitions();
  CloseArchive();

  Text notice, line;
  bool done = false;
  if (!MemAvail(32768)) {
    line = MsgText(8) + MsgText(517);
  } else if (SameFolder(target, dir)) {
    notice = MsgText(516) + " \"" + target + "\" \xE4r databiblioteket sj\xE4lvt.";
  } else {
    int io = disk::FolderExists(target) ? 0 : disk::MakeFolder(target);
    bool cancelled = false;
    std::vector<Text> copied;
    for (const Text& name : BackupFileNames(nn)) {
      if (io != 0) break;
      Text from = dir + "/" + name;
      Text line = target + "/" + name + " bytes:";
      std::int64_t total = 0;
      int e = CopyWholeFile(from, target + "/" + name, kCopyChunk, [&](std::int64_t n) {
        total = n;
        CounterLine(2, line + IntStr(n, 7));
        return !CounterAborted();
      });
      if (e == disk::kErrFileNotFound && !disk::Exists(from)) continue;  // not there: nothing to copy
      CounterLine(2, line + IntStr(total, 7) + (e == 0 ? " ..done" : " ..error"));
      if (e == kCopyCancelled) cancelled = true;
      else io = e;
      if (e != 0) break;
      copied.push_back(name);
    }
    if (io == 0 && !cancelled) io = disk::FlushFolder(target);
    Text fault = io == 0 && !cancelled ? CheckCopy(target, copied) : Text();
    if (cancelled) {
      line = "Kopieringen avbr\xF6ts, kopian \xE4r ofullst\xE4ndig.";
    } else if (io != 0) {
      notice = MsgText(516) + ZeroStr(io, 3);
    } else if (!fault.empty()) {
      notice = MsgText(516) + " " + fault;
    } else {
      notice = MsgText(512) + " nr." + ZeroStr(nn, 2) + MsgText(513) + target + MsgText(515);
      done = true;
    }
  }
  CurrentCompetition = nn;
  OpenArchive();
  if (ArchiveOpen && reopen && nn > 0) SelectCompetition(true, nn);
  CloseCounter();
  // After the reopening, whose own message line would hide what the copy has to say.
  if (!line.empty()) ShowText(1, line);
  if (!notice.empty()) ShowText(201, notice.substr(0, kMsgLineMax));
  return done;
}

}  // namespace olbrax
