// One change of the registers, run as a unit.
//
// A change the user makes to a register is several engine calls: adding a club is AddRec, PutRec
// and AddKey; rewriting a class with a new name removes its old keys, writes the record and adds
// the new keys; adding an entrant also rewrites its class. A RegisterChange runs those calls as
// steps inside one storage transaction (storage/transaction.h): they reach the disk together, at
// Finish, or not at all, also across a crash. The first step that fails ends the change: the
// transaction is rolled back, what the change altered in memory (counters, see OnTakeBack) is set
// back, the engine's message is shown to the user once, and Finish tells the caller. So a failed
// change leaves the files as they were before it: never a record without its keys, never a key
// without its record, never a counter that disagrees with the records.
//
// Changes nest: a RegisterChange made while another change (or a ChangeBatch) is open joins it,
// and the outermost one commits. A failure at any depth rolls back all of it; the changes still
// open around it then fail quietly, without showing the message again.
//
// Every register stores its records through this class (and through PutRegisterRecord below for
// the common shape of Put), so the error rule and the empty-key rule live here and nowhere else.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/text.h"
#include "competition/archive_state.h"
#include "storage/efiler.h"

namespace olbrax {

// The key under which an empty key text is stored and looked up (a district's empty number is
// stored as "99").
inline constexpr std::string_view kEmptyKey = "XXX";
inline constexpr std::string_view kEmptyDistrictKey = "99";
inline Text StoredKey(std::string_view key, std::string_view empty = kEmptyKey) {
  return Text(key.empty() ? empty : key);
}

// The text shown for the storage failure of the last engine call: the engine's message, and what
// the platform said when that tells the user more (a full disk, a file held by another program).
Text StorageFailureText();
// What a platform error (a Windows error number) adds to a failure text; empty when nothing.
Text PlatformDetail(int win_error);
// Shows a storage failure to the user (a notice box with `text`, also left in MsgLine) and counts
// it, so that a command can tell afterwards that something was not stored.
void ReportStorageFailure(std::string_view text);
// The storage failures reported since the program started (or since the reset, for tests).
int ReportedStorageFailures();
void ResetReportedStorageFailures();

// Looks up the record that index k gives for `key`, for a change of it. False when there is none;
// an engine failure other than "not found" is shown to the user as well.
bool FindRecordForChange(FileBlock* fb, int k, std::string_view key, std::int32_t& ref);

class RegisterChange {
 public:
  // Begins the change, or joins the change in progress.
  RegisterChange();
  // A change that was not finished is rolled back without a message.
  ~RegisterChange();
  RegisterChange(const RegisterChange&) = delete;
  RegisterChange& operator=(const RegisterChange&) = delete;

  // True while every step so far succeeded.
  bool ok() const { return ok_; }

  // The steps. Each does nothing and returns false once a step has failed.
  // Adds a record; `ref` is its number.
  bool AddRecord(FileBlock* fb, std::int32_t& ref, const void* rec);
  // Reads record `ref` (a buffer of the block's record length).
  bool ReadRecord(FileBlock* fb, std::int32_t ref, void* rec);
  // Writes record `ref` (`size` bytes).
  bool WriteRecord(FileBlock* fb, std::int32_t ref, const void* rec, std::size_t size);
  template <class Rec>
  bool WriteRecord(FileBlock* fb, std::int32_t ref, const Rec& rec) {
    static_assert(!std::is_pointer_v<Rec>, "the record itself, not its address");
    return WriteRecord(fb, ref, &rec, sizeof rec);
  }
  bool AddKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key);
  // Removes the entry (key, ref) of index k when it is there. A key that is missing (the caller
  // removed it before, as the register dialogs do while a record is edited) is no failure. In a
  // `unique` index an entry of the key that names another record is left alone.
  bool RemoveKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key, bool unique);
  // Deletes record `ref`.
  bool RemoveRecord(FileBlock* fb, std::int32_t ref);
  // Something outside the files (a counter in memory) to set back when the change, or the change
  // or batch it is part of, is rolled back.
  void OnTakeBack(std::function<void()> undo);

  // Ends the change: true when every step succeeded (and, for the outermost change, the commit).
  // Otherwise everything is rolled back, the failure is shown to the user once and left in
  // MsgLine, and the engine status is that of the failed step again.
  bool Finish();
  // Ends the change by rolling it back, quietly (an edit window's Cancel).
  void Rollback();

 private:
  bool Step(bool succeeded);

  bool ok_ = true;
  bool finished_ = false;
  int error_ = 0, dos_error_ = 0;
  Text text_;
};

// Many user-level changes in one transaction, for the long commands (an import, erasing all
// entrants): a batch commits after a bounded number of records or a bounded time, and whenever
// its owner ends it (a cancel, the end of a file, before a question to the user), so that a
// crash loses at most the batch in progress, and a commit takes a handful of flushes instead of
// a handful per record. The RegisterChanges made while the batch is open join it.
//
// A change in the batch that fails rolls the whole batch back (its message shown once) and sets
// back what the batch's changes altered in memory; the batch is then failed() and its owner
// stops. While a batch is open, a message box or question (base/messages.h) first commits it.
class ChangeBatch {
 public:
  // A batch ends after kMaxRecords records or kMaxSeconds, whichever comes first. The count
  // bounds what a crash can lose and the memory a batch holds; the time bounds the loss when
  // records come slowly. A commit over the entrant, class and archive files costs about 15
  // flushes; measured durable on a busy 2-core machine: 200 records per batch gave 234 flushes
  // for 3 200 entrants (one per 14 records, 1.36 s), 500 gives 117 (one per 27, 0.45 s); the
  // register-limit import (1 688 records) 31 flushes in 0.12 s, its 900 clubs 8 flushes in
  // 0.04 s against 6 300 in 13 s per call (bench/import, bench/entries). Marking the club
  // statistics stale over a commit adds two flushes to a batch that changes them: 133 flushes
  // for the 3 200 entrants (one per 24 records).
  static constexpr int kMaxRecords = 500;
  static constexpr double kMaxSeconds = 2.0;
  // Other bounds for every batch from now on (tests: many small batches); 0 restores the above.
  static void SetBounds(int records, double seconds);

  ChangeBatch() = default;
  // An open batch is rolled back without a message.
  ~ChangeBatch();
  ChangeBatch(const ChangeBatch&) = delete;
  ChangeBatch& operator=(const ChangeBatch&) = delete;

  // Opens a batch unless one is open: `taken_back` sets memory back to where it is now when the
  // batch is rolled back. Call between changes only (no RegisterChange open).
  void Begin(std::function<void()> taken_back = {});
  bool open() const { return open_; }
  // A change in the batch failed: everything since Begin is rolled back and was shown.
  bool failed() const;
  // Counts a record; true when the batch has reached its bound and should be committed.
  bool Counted();
  int records() const { return records_; }
  // Commits the batch and calls `committed` (the log lines of its records); false when a change
  // in it or the commit failed (shown to the user once, memory set back). No batch open: true.
  bool Commit();
  // Rolls the batch back, quietly.
  void Rollback();
  // Called after each successful commit, before the next batch begins (the import prints its
  // pending log lines here).
  std::function<void()> committed;
  // What a message box or question commits the batch with (empty: Commit).
  std::function<void()> before_box;

 private:
  void End();
  bool open_ = false;
  int records_ = 0;
  std::int64_t started_ = 0;
};

// For the benchmark that measures what transactions save: with `on`, changes and batches run
// every engine call as a transaction of its own (the per-call protocol), as before transactions
// grouped them; a failed change is then no longer rolled back as a whole. Never in the program.
void SetPerCallProtocolForBenchmark(bool on);

// Runs `done` now, or, while a change or batch is open, when the outermost one has ended: a block
// that takes part in a transaction must stay open until the transaction ends.
void WhenChangesEnd(std::function<void()> done);
// Whether a change or batch is open.
bool ChangeOpen();

// One index of a register: its number, whether keys are unique, and the key text of a record in
// its storage form.
template <class Rec>
struct RegisterKey {
  int k;
  bool unique;
  Text (*of)(const Rec&);
};

// The Put of every register: `stored` is the register's buffer in its storage form, with empty
// keys already given their stored form. Adding: the record is added (`numbered` then fills what
// depends on its number) and written with its keys. Rewriting record `ref`: its old keys are
// removed, the record written and the new keys added. Steps of `change`; when adding fails,
// `ref` is 0.
template <class Rec>
void StoreRegisterRecord(RegisterChange& change, FileBlock* fb, std::initializer_list<RegisterKey<Rec>> keys,
                         bool adding, std::int32_t& ref, Rec& stored,
                         const std::function<void(Rec&, std::int32_t)>& numbered = {}) {
  Rec old{};
  if (adding) {
    stored.DataStatus = 0;
    std::int32_t n = 0;
    if (change.AddRecord(fb, n, &stored)) {
      ref = n;
      if (numbered) numbered(stored, ref);
    } else {
      ref = 0;
    }
  } else if (change.ReadRecord(fb, ref, &old)) {
    for (const auto& key : keys) change.RemoveKey(fb, key.k, ref, key.of(old), key.unique);
  }
  change.WriteRecord(fb, ref, &stored, sizeof(Rec));
  for (const auto& key : keys) change.AddKey(fb, key.k, ref, key.of(stored));
}

// The same as one change of its own, with the register's changed flag and last-found number set
// after adding; false when it failed (already shown to the user).
template <class Rec>
bool PutRegisterRecord(FileBlock* fb, RegisterState& state, std::initializer_list<RegisterKey<Rec>> keys, bool adding,
                       std::int32_t& ref, Rec& stored, const std::function<void(Rec&, std::int32_t)>& numbered = {}) {
  RegisterChange change;
  StoreRegisterRecord(change, fb, keys, adding, ref, stored, numbered);
  if (!change.Finish()) {
    if (adding) ref = 0;
    return false;
  }
  if (adding) {
    state.changed = 1;
    state.last_found = ref;
  }
  return true;
}

// The Delete of every register: the keys of record `ref` are removed and, with `remove_record`,
// the record itself (the record as it was stays in `stored`, in its storage form). One change.
template <class Rec>
bool DeleteRegisterRecord(FileBlock* fb, std::initializer_list<RegisterKey<Rec>> keys, std::int32_t ref,
                          bool remove_record, Rec& stored) {
  RegisterChange change;
  if (change.ReadRecord(fb, ref, &stored))
    for (const auto& key : keys) change.RemoveKey(fb, key.k, ref, key.of(stored), key.unique);
  if (remove_record) change.RemoveRecord(fb, ref);
  return change.Finish();
}

}  // namespace olbrax
