#include "competition/registers/register_change.h"

#include <algorithm>

#include "base/messages.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"

namespace olbrax {

namespace {

int g_reported = 0;

// Runs an engine call of a take-back step with the status of the failure kept aside.
void Quietly(const std::function<void()>& call) {
  isam::ResetStatus();
  call();
}

}  // namespace

Text PlatformDetail(int win_error) {
  switch (win_error) {
    case disk::kErrDiskFull:
    case 39:  // the disk is full (handle form)
      return " - skivan \xE4r full";
    case disk::kErrSharingViolation: return " - filen anv\xE4nds av en annan kopia av olbrax";
    case disk::kErrAccessDenied: return " - " + MsgText(5);
    case disk::kErrWriteProtect: return " - " + MsgText(150);
    default: return "";
  }
}

Text StorageFailureText() {
  Text detail = PlatformDetail(IsamDosError);
  // A write that came up short, or a repair that could not write, names no platform error: on a
  // disk with next to no room left, that is what happened.
  constexpr std::int64_t kNearlyFull = 1 << 20;
  bool writing = IsamError == isam::kShortWrite || IsamError == isam::kRepairFailed ||
                 (IsamError >= isam::kAddRecRepaired && IsamError <= isam::kDeleteKeyRepaired);
  if (detail.empty() && writing) {
    std::int64_t free = disk::FreeBytes(GeneralSettings.DataDirectory.get());
    if (free >= 0 && free < kNearlyFull) detail = PlatformDetail(disk::kErrDiskFull);
  }
  return MsgText(IsamError) + detail;
}

void ReportStorageFailure(std::string_view text) {
  ++g_reported;
  MsgLine = Cut(text, kMsgLineMax);
  ShowMsg(201);
}

int ReportedStorageFailures() { return g_reported; }
void ResetReportedStorageFailures() { g_reported = 0; }

bool FindRecordForChange(FileBlock* fb, int k, std::string_view key, std::int32_t& ref) {
  isam::ResetStatus();
  std::int32_t found = 0;
  olbrax::FindKey(fb, k, found, key);
  if (IsamOK) {
    ref = found;
    return true;
  }
  if (IsamError != isam::kFindNotFound) {
    int error = IsamError, dos = IsamDosError;
    ReportStorageFailure(StorageFailureText());
    isam::Fail(error);
    IsamDosError = dos;
  }
  ref = 0;
  return false;
}

RegisterChange::~RegisterChange() {
  if (!finished_ && !undo_.empty()) TakeBack();
}

bool RegisterChange::Step(bool succeeded) {
  if (succeeded) return true;
  ok_ = false;
  error_ = IsamError;
  dos_error_ = IsamDosError;
  text_ = StorageFailureText();
  return false;
}

bool RegisterChange::AddRecord(FileBlock* fb, std::int32_t& ref, const void* rec) {
  if (!ok_) return false;
  isam::ResetStatus();
  std::int32_t n = 0;
  olbrax::AddRec(fb, n, rec);
  if (!Step(IsamOK)) return false;
  ref = n;
  added_.emplace_back(fb, n);
  undo_.push_back([fb, n] { olbrax::DeleteRec(fb, n); });
  return true;
}

bool RegisterChange::ReadRecord(FileBlock* fb, std::int32_t ref, void* rec) {
  if (!ok_) return false;
  isam::ResetStatus();
  if (ref < 1 || ref >= FileLen(fb)) {
    if (IsamOK) isam::Fail(isam::kRecnoOutOfRange);
    return Step(false);
  }
  olbrax::GetRec(fb, ref, rec);
  return Step(IsamOK);
}

bool RegisterChange::WriteRecord(FileBlock* fb, std::int32_t ref, const void* rec, std::size_t size, const void* old) {
  if (!ok_) return false;
  bool added = std::find(added_.begin(), added_.end(), std::make_pair(fb, ref)) != added_.end();
  if (!added) {
    std::string image(size, '\0');
    if (old) image.assign(static_cast<const char*>(old), size);
    else if (!ReadRecord(fb, ref, image.data())) return false;
    undo_.push_back([fb, ref, image = std::move(image)] { olbrax::PutRec(fb, ref, image.data()); });
  }
  isam::ResetStatus();
  olbrax::PutRec(fb, ref, rec);
  return Step(IsamOK);
}

bool RegisterChange::AddKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key) {
  if (!ok_) return false;
  isam::ResetStatus();
  olbrax::AddKey(fb, k, ref, key);
  if (!Step(IsamOK)) return false;
  undo_.push_back([fb, k, ref, key = Text(key)] { olbrax::DeleteKey(fb, k, ref, key); });
  return true;
}

bool RegisterChange::RemoveKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key, bool unique) {
  if (!ok_) return false;
  isam::ResetStatus();
  if (unique) {
    // The engine removes a unique key whatever record it names: make sure it names this one.
    std::int32_t holder = 0;
    olbrax::FindKey(fb, k, holder, key);
    if (!IsamOK && IsamError != isam::kFindNotFound) return Step(false);
    if (IsamOK && holder != ref) return true;
    isam::ResetStatus();
  }
  olbrax::DeleteKey(fb, k, ref, key);
  if (!IsamOK && IsamError != isam::kDeleteNotFound) return Step(false);
  isam::ResetStatus();
  // Taken back, the entry is there again; when it already is (it was missing before and another
  // step put it back) the engine's "exists" is as good.
  undo_.push_back([fb, k, ref, key = Text(key)] { olbrax::AddKey(fb, k, ref, key); });
  return true;
}

bool RegisterChange::RemoveRecord(FileBlock* fb, std::int32_t ref) {
  if (!ok_) return false;
  isam::ResetStatus();
  olbrax::DeleteRec(fb, ref);
  return Step(IsamOK);
}

void RegisterChange::OnTakeBack(std::function<void()> undo) { undo_.push_back(std::move(undo)); }

void RegisterChange::TakeBack() {
  bool all_back = true;
  for (auto it = undo_.rbegin(); it != undo_.rend(); ++it) {
    Quietly(*it);
    // A key that is already there again is what taking back wanted.
    if (!IsamOK && IsamError != isam::kKeyExists) all_back = false;
  }
  undo_.clear();
  if (!all_back) text_ += " (kunde inte \xE5terst\xE4llas helt)";
}

bool RegisterChange::Finish() {
  finished_ = true;
  if (ok_) {
    undo_.clear();
    return true;
  }
  TakeBack();
  ReportStorageFailure(text_);
  isam::Fail(error_);
  IsamDosError = dos_error_;
  return false;
}

}  // namespace olbrax
