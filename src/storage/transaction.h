// Transactions: a group of engine calls over one or several file blocks that reaches the disk
// as a whole or not at all, also across a crash or a power loss.
//
//   BeginTransaction();
//   AddRec(clubs, r, ClubRec);  AddKey(clubs, 1, r, key);  PutRec(info, 1, InfoRec);
//   if (all went well) CommitTransaction(); else RollbackTransaction();
//
// Inside, the engine calls work as always and see the transaction's own changes; only the
// files wait for the commit, which takes a handful of flushes instead of three per call. A call
// outside a transaction is a transaction by itself, as the per-call protocol has it. Nested
// Begin/Commit pairs join the outer transaction; a rollback at any depth undoes all of it.
//
// Failures: an I/O error in a call or in the commit rolls the whole transaction back, with the
// repair code of the first changing call as the status (10001 AddRec ... 10004 DeleteKey), or
// 10180 when the repair fails. After a failed call the transaction refuses further changes
// with that status until it is ended; CommitTransaction then fails with it too, and
// RollbackTransaction ends it quietly. A block that takes part and is closed before the commit
// rolls the transaction back (status 10160). The blocks of one transaction live in one folder.
// Blocks opened without the journal take no part: their calls write at once.
#pragma once

namespace olbrax::isam {

void BeginTransaction();
void CommitTransaction();
void RollbackTransaction();
// Whether an explicit transaction is open.
bool InTransaction();

}  // namespace olbrax::isam
