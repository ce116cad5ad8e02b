#include "exchange/iof/record_batch.h"

#include "competition/records/cmp_club_rec.h"
#include "competition/records/competition_rec.h"
#include "competition/registers/register_change.h"
#include "exchange/iof/id_register.h"
#include "storage/efiler.h"

namespace olbrax::iof {

namespace {

int g_max_records = RecordBatch::kMaxRecords;
double g_max_seconds = RecordBatch::kMaxSeconds;

// What the batch's records change in memory beside the files: the competition record's counters
// and the statistics block (41 KB: kept here rather than on the stack).
TInfoRec g_info;
TCmpClubRec g_cmp;

}  // namespace

void RecordBatch::SetBounds(int records, double seconds) {
  g_max_records = records > 0 ? records : kMaxRecords;
  g_max_seconds = seconds > 0 ? seconds : kMaxSeconds;
}

RecordBatch::~RecordBatch() {
  if (!open_) return;
  RollbackTransaction();
  TakeBack();
}

void RecordBatch::Begin() {
  g_info = InfoRec;
  g_cmp = CmpClubRec;
  if (begun) begun();
  BeginTransaction();
  open_ = true;
  records_ = 0;
  started_ = std::chrono::steady_clock::now();
}

void RecordBatch::TakeBack() {
  InfoRec = g_info;
  CmpClubRec = g_cmp;
  ids_.Settle(false);
  open_ = false;
  int lost = records_;
  records_ = 0;
  if (taken_back) taken_back(lost);
}

bool RecordBatch::Store(const std::function<bool()>& body) {
  if (!open_) Begin();
  if (!body()) {
    // The engine's message has been shown by the step that failed; the rollback must not
    // replace it in MsgLine.
    RollbackTransaction();
    TakeBack();
    return false;
  }
  ++records_;
  bool due = records_ >= g_max_records ||
             std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count() >= g_max_seconds;
  return !due || Commit();
}

bool RecordBatch::Commit() {
  if (!open_) return true;
  CommitTransaction();
  if (!IsamOK) {
    // The engine has rolled every block back already.
    ReportStorageFailure(StorageFailureText());
    TakeBack();
    return false;
  }
  ids_.Settle(true);
  open_ = false;
  records_ = 0;
  if (committed) committed();
  return true;
}

}  // namespace olbrax::iof
