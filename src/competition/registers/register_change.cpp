#include "competition/registers/register_change.h"

#include <algorithm>
#include <chrono>

#include "base/messages.h"
#include "printing/config/configuration.h"
#include "storage/disk_file.h"

namespace olbrax {

namespace {

int g_reported = 0;

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

// --- The change in progress ---------------------------------------------------------------------
//
// The outermost RegisterChange or ChangeBatch and the ones nested in it share one storage
// transaction; what they changed in memory is set back, newest first, when it is rolled back.
namespace {

// Keeps the engine status across the calls that close up after a change.
class KeptStatus {
 public:
  KeptStatus() : ok_(IsamOK), error_(IsamError), dos_(IsamDosError) {}
  void Restore() const {
    if (ok_) return isam::ResetStatus();
    isam::Fail(error_);
    IsamDosError = dos_;
  }

 private:
  bool ok_;
  int error_, dos_;
};

struct Changes {
  int depth = 0;
  bool failed = false;  // a change failed: the transaction is rolled back, memory set back
  std::vector<std::function<void()>> undo;
  std::vector<std::function<void()>> at_end;
};

Changes& Current() {
  static Changes c;
  return c;
}

bool g_per_call = false;

void Enter() {
  Changes& c = Current();
  if (c.depth++ == 0) {
    c.failed = false;
    c.undo.clear();
  }
  if (!g_per_call) olbrax::BeginTransaction();
}

// Sets memory back to where the outermost change found it.
void SetMemoryBack() {
  Changes& c = Current();
  std::vector<std::function<void()>> undo;
  undo.swap(c.undo);
  for (auto it = undo.rbegin(); it != undo.rend(); ++it) (*it)();
}

// Leaves a level; the engine's transaction has been committed or rolled back for it already.
void Leave() {
  Changes& c = Current();
  if (--c.depth > 0) return;
  c.undo.clear();
  KeptStatus status;
  std::vector<std::function<void()>> at_end;
  at_end.swap(c.at_end);
  for (auto& done : at_end) done();
  status.Restore();
}

// Rolls back everything open; true when this is the first failure (its message is still to be
// shown).
bool FailAll() {
  Changes& c = Current();
  bool first = !c.failed;
  int error = IsamError, dos = IsamDosError;
  olbrax::RollbackTransaction();
  c.failed = true;
  SetMemoryBack();
  isam::Fail(error);
  IsamDosError = dos;
  return first;
}

// The hook of message boxes while a batch is open: the batch is committed before the user is
// asked anything, unless a change inside it is still under way.
ChangeBatch* g_batch = nullptr;
int g_batch_depth = 0;

void CommitBeforeBox() {
  if (g_batch == nullptr || Current().depth != g_batch_depth || g_batch->failed()) return;
  ChangeBatch* batch = g_batch;
  g_batch = nullptr;  // a failure box of the commit itself does not come back here
  if (batch->before_box) batch->before_box();
  else batch->Commit();
  if (batch->open()) g_batch = batch;
}

int g_max_records = ChangeBatch::kMaxRecords;
double g_max_seconds = ChangeBatch::kMaxSeconds;

std::int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void SetPerCallProtocolForBenchmark(bool on) { g_per_call = on; }

bool ChangeOpen() { return Current().depth > 0; }

void WhenChangesEnd(std::function<void()> done) {
  if (Current().depth > 0) Current().at_end.push_back(std::move(done));
  else done();
}

RegisterChange::RegisterChange() {
  Enter();
  // Inside a change that has failed nothing more is stored (and its message was shown).
  if (Current().failed || !IsamOK) Step(false);
}

RegisterChange::~RegisterChange() { Rollback(); }

void RegisterChange::Rollback() {
  if (finished_) return;
  finished_ = true;
  KeptStatus status;
  olbrax::RollbackTransaction();
  if (!Current().failed) {
    Current().failed = true;
    SetMemoryBack();
  }
  Leave();
  status.Restore();
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

bool RegisterChange::WriteRecord(FileBlock* fb, std::int32_t ref, const void* rec, std::size_t) {
  if (!ok_) return false;
  isam::ResetStatus();
  olbrax::PutRec(fb, ref, rec);
  return Step(IsamOK);
}

bool RegisterChange::AddKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key) {
  if (!ok_) return false;
  isam::ResetStatus();
  olbrax::AddKey(fb, k, ref, key);
  return Step(IsamOK);
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
  return true;
}

bool RegisterChange::RemoveRecord(FileBlock* fb, std::int32_t ref) {
  if (!ok_) return false;
  isam::ResetStatus();
  olbrax::DeleteRec(fb, ref);
  return Step(IsamOK);
}

void RegisterChange::OnTakeBack(std::function<void()> undo) { Current().undo.push_back(std::move(undo)); }

bool RegisterChange::Finish() {
  if (finished_) return ok_;
  finished_ = true;
  if (ok_) {
    olbrax::CommitTransaction();
    // Only the outermost commit writes, and can fail.
    if (IsamOK) {
      Leave();
      isam::ResetStatus();
      return true;
    }
    Step(false);
  }
  bool first = FailAll();
  Leave();
  if (first) ReportStorageFailure(text_);
  isam::Fail(error_);
  IsamDosError = dos_error_;
  return false;
}

// --- Batches -------------------------------------------------------------------------------------

ChangeBatch::~ChangeBatch() {
  if (open_) Rollback();
}

void ChangeBatch::Begin(std::function<void()> taken_back) {
  if (open_) return;
  Enter();
  open_ = true;
  records_ = 0;
  started_ = NowMicros();
  if (taken_back) Current().undo.push_back(std::move(taken_back));
  if (g_batch == nullptr) {
    g_batch = this;
    g_batch_depth = Current().depth;
    SetBeforeBoxHook(&CommitBeforeBox);
  }
}

bool ChangeBatch::failed() const { return open_ && Current().failed; }

void ChangeBatch::SetBounds(int records, double seconds) {
  g_max_records = records > 0 ? records : kMaxRecords;
  g_max_seconds = seconds > 0 ? seconds : kMaxSeconds;
}

bool ChangeBatch::Counted() {
  ++records_;
  return records_ >= g_max_records || NowMicros() - started_ >= static_cast<std::int64_t>(g_max_seconds * 1e6);
}

void ChangeBatch::End() {
  open_ = false;
  if (g_batch == this) {
    g_batch = nullptr;
    SetBeforeBoxHook(nullptr);
  }
  KeptStatus status;
  Leave();
  status.Restore();
}

bool ChangeBatch::Commit() {
  if (!open_) return true;
  if (Current().failed) {
    olbrax::RollbackTransaction();
    End();
    return false;
  }
  isam::ResetStatus();
  olbrax::CommitTransaction();
  if (!IsamOK) {
    Text text = StorageFailureText();
    int error = IsamError, dos = IsamDosError;
    Current().failed = true;
    SetMemoryBack();
    End();
    ReportStorageFailure(text);
    isam::Fail(error);
    IsamDosError = dos;
    return false;
  }
  End();
  if (committed) committed();
  return true;
}

void ChangeBatch::Rollback() {
  if (!open_) return;
  KeptStatus status;
  if (!Current().failed) {
    olbrax::RollbackTransaction();
    Current().failed = true;
    SetMemoryBack();
  } else {
    olbrax::RollbackTransaction();
  }
  End();
  status.Restore();
}

}  // namespace olbrax
