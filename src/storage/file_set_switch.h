// Replacing a set of files of a folder all at once: the new files are written into a staging
// sub-folder, and a recorded, restartable sequence of renames moves them over the old ones.
//
// The index rebuild needs this: it rewrites every file block of a data directory, and records
// refer to each other across blocks by record number (an entrant names its club and class), so
// the folder must hold either all old files or all new ones, never a mix, whatever happens.
//
// Files, in the folder F with the staging folder S = F/<staging>:
//   S/<name>     a new file, under the name it will have in F
//   S/PLAN.TMP   the plan while it is written
//   S/PLAN       the plan: the names to move, one per line, then the line "SLUT"
//
// Invariants:
//   1. Nothing in F changes before S/PLAN exists. Until then, throwing S away leaves F exactly
//      as it was.
//   2. S/PLAN is made only when every file it names is complete and flushed in S, and S itself
//      is flushed: PLAN.TMP is written and flushed, then renamed to PLAN, and the rename is
//      flushed with the folder. That rename is the commit point.
//   3. After the commit every step goes forward: each named file still in S is renamed over its
//      namesake in F (a rename replaces atomically; both folders are flushed after it). A name
//      no longer in S has been moved. Repeating the steps after any interruption, as often as it
//      takes, ends in the same state.
//   4. PLAN is deleted only after the last file has moved, and S is removed only after PLAN.
//   5. Whoever uses F first runs RecoverFileSet: an S without PLAN is thrown away (1), one with
//      PLAN is completed (3). While that fails, F is not used.
#pragma once

#include <string_view>
#include <vector>

#include "base/text.h"

namespace olbrax::isam {

// Finishes what an interrupted switch left in `folder` (invariant 5): completes a committed one
// (`*completed` true), throws an uncommitted one away. True when no staging folder is left;
// false, with the engine status set and `*failed_name` naming the file, when it could not be
// finished (the folder must not be used then).
bool RecoverFileSet(std::string_view folder, std::string_view staging, bool* completed = nullptr,
                    Text* failed_name = nullptr);
// Whether `folder` holds a staging folder named `staging`.
bool FileSetPending(std::string_view folder, std::string_view staging);

class FileSetSwitch {
 public:
  FileSetSwitch(std::string_view folder, std::string_view staging);
  // Throws the staging folder away unless the switch was committed.
  ~FileSetSwitch();
  FileSetSwitch(const FileSetSwitch&) = delete;
  FileSetSwitch& operator=(const FileSetSwitch&) = delete;

  // Finishes an earlier switch (RecoverFileSet), then makes an empty staging folder. False with
  // the engine status set when either fails.
  bool Prepare();
  // The path of a new file in the staging folder.
  Text Staged(std::string_view name) const;
  // Makes the staged file `name` part of the switch (once per name).
  void Add(std::string_view name);
  // Commits (invariant 2) and moves the files (invariant 3). False with the engine status set
  // when something failed: before the commit nothing in the folder changed (Committed() is
  // false); after it the switch is recorded and RecoverFileSet completes it.
  bool Commit();
  bool Committed() const { return committed_; }
  // The file whose step failed last.
  const Text& FailedName() const { return failed_name_; }
  // Throws away the staging folder of an uncommitted switch.
  void Discard();

 private:
  Text folder_;
  Text staging_;
  std::vector<Text> names_;
  Text failed_name_;
  bool prepared_ = false;
  bool committed_ = false;
};

}  // namespace olbrax::isam
