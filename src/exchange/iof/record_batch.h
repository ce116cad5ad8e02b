// The records of an IOF import reach the files in batches: one storage transaction
// (storage/transaction.h) holds many records with their ids, and commits after a bounded number
// of records or a bounded time, and whenever the import ends it: before a question to the user,
// at a cancel, at the end of the file. A crash loses at most the batch in progress, and a
// commit's handful of flushes is shared by up to kMaxRecords records instead of paid by each.
//
// The register operations inside a record begin and commit transactions of their own; those
// join the batch. A record whose storing fails takes the whole batch back: the files by the
// engine, the competition record and the statistics block in memory to what they were when the
// batch began, the ids put since then forgotten, and the owner's own state by `taken_back`.
// The owner keeps what it would tell of the batch's records (log lines, counters) until
// `committed`, so that the import log never tells of a record that is not in the files.
#pragma once

#include <chrono>
#include <functional>

namespace olbrax::iof {

class IdRegister;

class RecordBatch {
 public:
  // A batch ends after kMaxRecords stored records or kMaxSeconds, whichever comes first. The
  // count bounds what a crash can lose (an EntryList imported again finds its entrants by their
  // ids); the time bounds the loss when records come slowly. A commit costs about 15 flushes
  // (journal, data and index of each of four blocks, the transaction file), whatever the batch
  // holds. Measured with bench/iof (a ClassList, then 3 200 entrants, durable): 100 records per
  // batch gave one flush per 7 records, 400 one per 24 (138 flushes, 0.9 s), against 13 flushes
  // per record with one transaction each (227 s).
  static constexpr int kMaxRecords = 400;
  static constexpr double kMaxSeconds = 2.0;
  // Other bounds for every batch from now on (tests: small batches); 0 restores the above.
  static void SetBounds(int records, double seconds);

  explicit RecordBatch(IdRegister& ids) : ids_(ids) {}
  // A batch still open is rolled back without a message.
  ~RecordBatch();
  RecordBatch(const RecordBatch&) = delete;
  RecordBatch& operator=(const RecordBatch&) = delete;

  // Runs `body` (the register operations and id puts of one record) inside the batch, opening
  // one when none is open, and commits the batch when it has reached its bounds. True when the
  // record is stored (committed or in the open batch). False when `body` failed (it returns
  // false after an engine failure, shown to the user) or the commit failed (shown here): all of
  // the batch is then taken back and MsgLine holds the failure.
  bool Store(const std::function<bool()>& body);
  // Commits the open batch; true when there is none. False when the commit failed (shown, the
  // batch taken back).
  bool Commit();
  bool open() const { return open_; }
  // The records stored in the open batch.
  int records() const { return records_; }

  // The owner's part: `begun` when a batch opens (the owner notes what to set back),
  // `committed` after each successful commit (the owner tells of the batch's records),
  // `taken_back` after a batch was taken back, with the number of records it held.
  std::function<void()> begun;
  std::function<void()> committed;
  std::function<void(int records)> taken_back;

 private:
  void Begin();
  void TakeBack();
  IdRegister& ids_;
  bool open_ = false;
  int records_ = 0;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace olbrax::iof
