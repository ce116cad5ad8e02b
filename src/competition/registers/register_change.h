// One change of the registers, run as a unit.
//
// A change the user makes to a register is several engine calls: adding a club is AddRec, PutRec
// and AddKey; rewriting a class with a new name removes its old keys, writes the record and adds
// the new keys. A RegisterChange runs those calls as steps. The first step that fails ends the
// change: the steps already done are taken back in reverse order, the engine's message is shown
// to the user, and Finish tells the caller. So a failed change leaves the files as they were
// before it: never a record without its keys, never a key without its record.
//
// Every register stores its records through this class (and through PutRegisterRecord below for
// the common shape of Put), so the error rule and the empty-key rule live here and nowhere else.
// A storage transaction around a change belongs here too: begin where the change is made,
// commit in Finish, roll back where the steps are taken back.
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
  RegisterChange() = default;
  // A change that was not finished is taken back without a message.
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
  // Writes record `ref` (`size` bytes). Taken back, the record as it was is written again: `old`
  // when the caller has it, otherwise it is read first (a record added by this change is removed
  // instead). Writing a record is not journalled by the engine, so even a failed write is taken
  // back.
  bool WriteRecord(FileBlock* fb, std::int32_t ref, const void* rec, std::size_t size, const void* old = nullptr);
  template <class Rec>
  bool WriteRecord(FileBlock* fb, std::int32_t ref, const Rec& rec) {
    static_assert(!std::is_pointer_v<Rec>, "the record itself, not its address");
    return WriteRecord(fb, ref, &rec, sizeof rec);
  }
  bool AddKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key);
  // Removes the entry (key, ref) of index k when it is there. A key that is missing (the caller
  // removed it before, as the register dialogs do while a record is edited) is no failure; either
  // way the entry is there again when the change is taken back. In a `unique` index an entry of
  // the key that names another record is left alone.
  bool RemoveKey(FileBlock* fb, int k, std::int32_t ref, std::string_view key, bool unique);
  // Deletes record `ref`; this cannot be taken back, so it is the last step of a change.
  bool RemoveRecord(FileBlock* fb, std::int32_t ref);
  // Something outside the files (a counter in memory) to set back when the change is taken back.
  void OnTakeBack(std::function<void()> undo);

  // Ends the change: true when every step succeeded. Otherwise the steps done are taken back, the
  // failure is shown to the user and left in MsgLine, and the engine status is that of the failed
  // step again.
  bool Finish();

 private:
  bool Step(bool succeeded);
  void TakeBack();

  std::vector<std::function<void()>> undo_;
  std::vector<std::pair<FileBlock*, std::int32_t>> added_;
  bool ok_ = true;
  bool finished_ = false;
  int error_ = 0, dos_error_ = 0;
  Text text_;
};

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
  } else {
    // Taken back, the record gets the keys of what it then holds again (it is written back
    // first): also the keys an edit window removed before this change, and even when reading the
    // record failed in this change.
    if (ref >= 1 && ref < FileLen(fb)) {
      change.OnTakeBack([fb, ref, all = std::vector<RegisterKey<Rec>>(keys)] {
        Rec r{};
        olbrax::GetRec(fb, ref, &r);
        bool back = IsamOK;
        for (const auto& key : all) {
          if (!back) break;
          olbrax::AddKey(fb, key.k, ref, key.of(r));
          back = IsamOK || IsamError == isam::kKeyExists;
        }
        if (back) isam::ResetStatus();
        else if (IsamOK) isam::Fail(isam::kGeneral);
      });
    }
    if (change.ReadRecord(fb, ref, &old))
      for (const auto& key : keys) change.RemoveKey(fb, key.k, ref, key.of(old), key.unique);
  }
  change.WriteRecord(fb, ref, &stored, sizeof(Rec), adding ? nullptr : &old);
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
