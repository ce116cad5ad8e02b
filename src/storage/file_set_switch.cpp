#include "storage/file_set_switch.h"

#include "storage/disk_file.h"
#include "storage/isam_status.h"

namespace olbrax::isam {

namespace {

constexpr std::string_view kPlan = "PLAN";
constexpr std::string_view kPlanDraft = "PLAN.TMP";
constexpr std::string_view kPlanEnd = "SLUT";

Text Join(std::string_view folder, std::string_view name) {
  Text out(folder);
  if (!out.empty() && out.back() != '/') out += '/';
  out += name;
  return out;
}

bool Failed(int win_error, std::uint16_t func) {
  NotePlatformError(win_error, func);
  Fail(StatusForFileIo(win_error));
  return false;
}

// Reads the plan's names; false when it cannot be read or does not end as written.
bool ReadPlan(const Text& path, std::vector<Text>& names) {
  disk::File f;
  if (int e = disk::Open(path, false, f); e != 0) return Failed(e, DosFunc::kOpen);
  std::string bytes(static_cast<std::size_t>(f.Size()), '\0');
  std::size_t got = 0;
  if (int e = disk::Read(f, 0, bytes.data(), bytes.size(), got); e != 0) return Failed(e, DosFunc::kRead);
  disk::Close(f);
  bytes.resize(got);
  names.clear();
  bool ended = false;
  std::size_t at = 0;
  while (at < bytes.size()) {
    std::size_t nl = bytes.find('\n', at);
    if (nl == std::string::npos) break;
    Text line = bytes.substr(at, nl - at);
    at = nl + 1;
    if (line == kPlanEnd) {
      ended = true;
      break;
    }
    // Only plain names: a plan never moves anything out of the folder it belongs to.
    if (line.empty() || line.find('/') != Text::npos || line == "." || line == "..") break;
    names.push_back(line);
  }
  if (!ended) {
    Fail(kGeneral);
    return false;
  }
  return true;
}

// Deletes every file of the staging folder and the folder itself.
bool RemoveStaging(const Text& staging) {
  std::vector<Text> leftovers;
  disk::ListFolder(staging, leftovers);
  for (const Text& n : leftovers)
    if (int e = disk::Delete(Join(staging, n)); e != 0 && e != disk::kErrFileNotFound) return Failed(e, DosFunc::kDelete);
  if (int e = disk::RemoveFolder(staging); e != 0) return Failed(e, DosFunc::kDelete);
  return true;
}

}  // namespace

bool FileSetPending(std::string_view folder, std::string_view staging) {
  return disk::FolderExists(Join(folder, staging));
}

bool RecoverFileSet(std::string_view folder, std::string_view staging_name, bool* completed, Text* failed_name) {
  ResetStatus();
  if (completed) *completed = false;
  Text staging = Join(folder, staging_name);
  if (!disk::FolderExists(staging)) return true;
  Text plan = Join(staging, kPlan);
  auto failed = [&](const Text& name, int e, std::uint16_t func) {
    if (failed_name) *failed_name = name;
    return Failed(e, func);
  };
  if (disk::Exists(plan)) {
    // Committed: go forward (invariant 3).
    std::vector<Text> names;
    if (!ReadPlan(plan, names)) {
      if (failed_name) *failed_name = Text(kPlan);
      return false;
    }
    for (const Text& n : names) {
      Text from = Join(staging, n);
      if (!disk::Exists(from)) continue;  // moved already
      if (int e = disk::Rename(from, Join(folder, n)); e != 0) return failed(n, e, DosFunc::kRename);
    }
    if (int e = disk::Delete(plan); e != 0) return failed(Text(kPlan), e, DosFunc::kDelete);
    if (completed) *completed = true;
  }
  // Uncommitted (invariant 1), or completed: what is left is thrown away.
  if (!RemoveStaging(staging)) {
    if (failed_name) *failed_name = Text(staging_name);
    return false;
  }
  return true;
}

FileSetSwitch::FileSetSwitch(std::string_view folder, std::string_view staging)
    : folder_(folder), staging_(Join(folder, staging)) {}

FileSetSwitch::~FileSetSwitch() {
  if (prepared_ && !committed_) Discard();
}

bool FileSetSwitch::Prepare() {
  Text staging_name = staging_.substr(staging_.find_last_of('/') + 1);
  if (!RecoverFileSet(folder_, staging_name, nullptr, &failed_name_)) return false;
  if (int e = disk::MakeFolder(staging_); e != 0) {
    failed_name_ = staging_name;
    return Failed(e, DosFunc::kOpen);
  }
  prepared_ = true;
  names_.clear();
  committed_ = false;
  return true;
}

Text FileSetSwitch::Staged(std::string_view name) const { return Join(staging_, name); }

void FileSetSwitch::Add(std::string_view name) {
  for (const Text& n : names_)
    if (n == name) return;
  names_.emplace_back(name);
}

bool FileSetSwitch::Commit() {
  ResetStatus();
  if (!prepared_ || committed_) {
    Fail(kGeneral);
    return false;
  }
  // Invariant 2: every staged file and the staging folder are on the disk before the plan.
  auto failed = [&](const Text& name, int e, std::uint16_t func) {
    failed_name_ = name;
    return Failed(e, func);
  };
  for (const Text& n : names_) {
    disk::File f;
    if (int e = disk::Open(Staged(n), false, f); e != 0) return failed(n, e, DosFunc::kOpen);
    if (int e = disk::Flush(f); e != 0) return failed(n, e, DosFunc::kFlush);
    disk::Close(f);
  }
  Text staging_name = staging_.substr(staging_.find_last_of('/') + 1);
  if (int e = disk::FlushFolder(staging_); e != 0) return failed(staging_name, e, DosFunc::kFlush);
  std::string text;
  for (const Text& n : names_) text += n + "\n";
  text += Text(kPlanEnd) + "\n";
  {
    disk::File f;
    std::size_t put = 0;
    Text draft(kPlanDraft);
    if (int e = disk::Create(Staged(kPlanDraft), f); e != 0) return failed(draft, e, DosFunc::kOpen);
    if (int e = disk::Write(f, 0, text.data(), text.size(), put); e != 0) return failed(draft, e, DosFunc::kWrite);
    if (put != text.size()) return failed(draft, disk::kErrDiskFull, DosFunc::kWrite);
    if (int e = disk::Flush(f); e != 0) return failed(draft, e, DosFunc::kFlush);
    disk::Close(f);
  }
  if (int e = disk::Rename(Staged(kPlanDraft), Staged(kPlan)); e != 0) return failed(Text(kPlan), e, DosFunc::kRename);
  committed_ = true;
  if (RecoverFileSet(folder_, staging_name, nullptr, &failed_name_)) return true;
  // A step that failed once (a passing I/O error) may go through when tried again; if not, the
  // next user of the folder finishes the switch.
  return RecoverFileSet(folder_, staging_name, nullptr, &failed_name_);
}

void FileSetSwitch::Discard() {
  if (committed_ || !prepared_) return;
  int status = IsamError, dos = IsamDosError;
  std::uint16_t func = IsamDosFunc;
  bool ok = IsamOK;
  RemoveStaging(staging_);
  // A failure that led here stays the one reported.
  ResetStatus();
  if (!ok) {
    NotePlatformError(dos, func);
    Fail(status);
  }
  prepared_ = false;
}

}  // namespace olbrax::isam
