// Transactions over one or several file blocks: begin, commit, roll back, and the order in which
// a commit reaches the disk.
//
// A transaction keeps its changes in memory: the part headers in the blocks, the changed pages
// and records as the images the per-call protocol would have written (storage/txn.h), and the
// before-images of every page and header it changed, as journal entries. At the commit:
//   1. once a second block takes part, the transaction file lists the blocks (flushed);
//   2. each block's journal gets its entries (flushed);
//   3. the pages, the records the transaction added or freed, and the headers are written, and
//      the data and index files flushed;
//   4. when the transaction spans blocks or rewrote records that existed before it, the commit
//      chunk goes to the transaction file (flushed): the commit point;
//   5. the rewritten records are written and their data files flushed;
//   6. each journal is emptied (truncated to 1 byte, flushed): for a transaction of one block
//      without rewritten records this is the commit point, as in the per-call protocol;
//   7. the transaction file is deleted.
// A call outside BeginTransaction/CommitTransaction is a transaction of one block and one call,
// and goes through the same steps: 2, 3 and 6, exactly the per-call protocol.
//
// Invariants:
//  1. Between transactions the journal of every open block is empty (1 byte), no transaction
//     file of this process exists, and the data and index files hold byte for byte what the
//     per-call protocol would have written for the same engine calls: pages are packed into
//     their image at the end of every call, and an image is written from byte 0 to the furthest
//     byte any call packed.
//  2. Every page and part header a transaction changes is imaged in its block's journal once,
//     before its first change (a part also gets an entry per free-chain element it gave up that
//     was free when the transaction began, and ends with its image from the start). No data or
//     index byte reaches its file before the journal entries that undo it are written and
//     flushed.
//  3. A record that existed when an explicit transaction began and is rewritten (PutRec) or freed
//     (DeleteRec) by it reaches the data file only after the commit point: the journal has no
//     record images. Its block's journal always holds the data header's entry, so that the
//     journal tells whether the block has finished its commit.
//  4. Once a second block takes part, the transaction file names every block of the transaction
//     before any data or index byte of it reaches a file; every block lives in the folder of the
//     first, where the transaction file is.
//  5. The commit chunk is written after every data and index file of the transaction is flushed.
//     It holds the after-images of the rewritten records and, for each block, the length and
//     checksum of what the transaction wrote to its journal; a chunk cut short or garbled does
//     not count.
//  6. Journals are emptied only after the commit point and after the rewritten records are
//     flushed; the transaction file is deleted only after every journal is empty.
//  7. The next open of any block a transaction file names, before it reads anything of the
//     block, settles that transaction for every block it names (storage/txn_file.cpp): with a
//     commit chunk, the rewritten records are written again and each journal still holding
//     exactly what the transaction wrote is emptied; without one, every block is rolled back from
//     its journal. Then the file is deleted. The order of opening the blocks does not matter.
//  8. A failure before the commit is complete rolls every block back: a commit chunk on the disk
//     is cut off first, a journal already emptied is written again from memory, each journal is
//     replayed and the bytes the transaction overwrote are put back, so the files are as before,
//     byte for byte, and the status is the repair code of the first changing call (10001 ...
//     10004), or 10180 when the repair fails.
//
// What a program that knows only the journal repair sees after a crash: before the commit point
// every block the transaction changed has entries in its journal, and its repair puts each block
// back as it was before the transaction; rewritten records were never written, so the whole
// transaction is undone. In the commit window (after the commit point, until the last journal is
// emptied) the blocks whose journal is already empty keep the transaction and the others are
// rolled back, rewritten records keeping whatever of their new bytes reached the disk: each block
// passes the check by itself, but a transaction over several blocks can be half there. Such a
// program ignores the transaction file, which this program's next open finds and deletes.
#include <algorithm>
#include <cstring>

#include "storage/engine.h"
#include "storage/transaction.h"
#include "storage/txn_file.h"

namespace olbrax::isam {

namespace {

// Keeps the bytes of a slot (a page or a record) that a write is about to replace, once per
// transaction: the first write of a slot finds it as it was before. Bytes past the size the file
// had when the block joined need no keeping: putting back truncates the file to that size.
bool Keep(BlockTxn& b, disk::File& file, std::int64_t offset, std::size_t slot) {
  bool data = &file == &b.fb->data_file;
  std::int64_t limit = data ? b.data_size0 : b.index_size0;
  if (offset >= limit || !(data ? b.kept_data : b.kept_index).insert(offset).second) return true;
  auto len = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(slot), limit - offset));
  Kept k{&file, offset, std::string(len, '\0')};
  std::size_t got = 0;
  if (!ReadSome(file, offset, k.old.data(), len, got)) return false;
  k.old.resize(got);
  b.kept.push_back(std::move(k));
  return true;
}

struct Run {
  std::int64_t offset;
  const unsigned char* data;
  std::size_t len;
  std::size_t slot;  // the size of the page or record slot the bytes start
};

// Writes runs of bytes to a file in offset order, adjacent runs together in writes of up to
// kJoin bytes (records added one after another go out in a few writes). The buffer is kept for
// the next commit: joining all of a commit into a fresh one took a page fault per 4 KB, and a
// commit of 5 000 inserts 75-110 ms instead of 7-15 ms (busy machine, flushes off).
bool WriteRuns(BlockTxn& b, disk::File& file, std::vector<Run>& runs) {
  constexpr std::size_t kJoin = 256 * 1024;
  static std::string joined;
  std::sort(runs.begin(), runs.end(), [](const Run& x, const Run& y) { return x.offset < y.offset; });
  for (const Run& r : runs)
    if (!Keep(b, file, r.offset, r.slot)) return false;
  for (std::size_t i = 0; i < runs.size();) {
    std::size_t j = i + 1;
    std::int64_t end = runs[i].offset + static_cast<std::int64_t>(runs[i].len);
    while (j < runs.size() && runs[j].offset == end && static_cast<std::size_t>(end - runs[i].offset) + runs[j].len <= kJoin)
      end += static_cast<std::int64_t>(runs[j++].len);
    const unsigned char* data = runs[i].data;
    auto len = static_cast<std::size_t>(end - runs[i].offset);
    if (j > i + 1) {
      joined.clear();
      for (std::size_t r = i; r < j; ++r) joined.append(reinterpret_cast<const char*>(runs[r].data), runs[r].len);
      data = reinterpret_cast<const unsigned char*>(joined.data());
    }
    if (!WriteExact(file, runs[i].offset, data, len)) return false;
    i = j;
  }
  return true;
}

// Writes the record images (those of records that existed before, or the others) and, with
// the others, the page images. `release` drops what was written from memory.
bool WriteImages(BlockTxn& b, bool live, bool release) {
  FileBlock* fb = b.fb;
  std::vector<Run> data_runs, index_runs;
  for (auto& [recno, r] : b.records)
    if (r.live == live && r.size > 0)
      data_runs.push_back({fb->RecordOffset(recno), r.bytes, r.size, static_cast<std::size_t>(fb->data.h.rec_len)});
  std::vector<PageBuf*> held;
  std::int64_t index_size = fb->index_file.IsOpen() ? fb->index_file.Size() : 0;
  if (!live) {
    PagePool& pool = TheEngine().pool;
    for (auto& [id, s] : b.pages) {
      if (!s.image || s.extent == 0) continue;
      int k = static_cast<int>(id >> 32);
      auto page = static_cast<std::int32_t>(id);
      std::int64_t offset = fb->PageOffset(k, page);
      auto slot = static_cast<std::size_t>(fb->index[k].h.page_size);
      index_runs.push_back({offset, s.image, s.extent, slot});
      PageBuf* buf = pool.Peek(fb, k, page);
      if (buf == nullptr) continue;
      if (!buf->on_disk) {
        // A slot past the end of the file is zeros until this write.
        if (offset < index_size) continue;
        std::memset(buf->disk, 0, slot);
      }
      held.push_back(buf);
      // The pool has the slot as the file holds it: keep it from there.
      if (offset < b.index_size0 && b.kept_index.insert(offset).second) {
        auto len = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(slot), b.index_size0 - offset));
        b.kept.push_back({&fb->index_file, offset, std::string(reinterpret_cast<const char*>(buf->disk), len)});
      }
    }
  }
  if (!index_runs.empty()) {
    // Rows are whole: a page past the end of the file extends it by zero-filled rows.
    std::int64_t rows_end = static_cast<std::int64_t>(fb->rows) * fb->row_size;
    if (fb->index_file.Size() < rows_end && !TruncateFile(fb->index_file, rows_end)) return false;
  }
  if (!WriteRuns(b, fb->data_file, data_runs) || !WriteRuns(b, fb->index_file, index_runs)) return false;
  for (PageBuf* buf : held) {
    const PageState& s = b.pages[PageId(buf->k, buf->page)];
    std::memcpy(buf->disk, s.image, s.extent);
    buf->on_disk = true;
  }
  b.wrote_data = b.wrote_data || !data_runs.empty();
  b.wrote_index = b.wrote_index || !index_runs.empty();
  if (release) {
    // The images go back to the arena (storage/txn.h) as a whole once every block is out.
    for (auto& [recno, r] : b.records)
      if (!r.live) r.bytes = nullptr, r.size = 0;
    for (auto& [id, s] : b.pages) s.image = nullptr, s.extent = 0;
  }
  return true;
}

bool WriteHeaders(BlockTxn& b) {
  FileBlock* fb = b.fb;
  for (int k = 1; k <= fb->key_count; ++k)
    if (fb->index[k].header_changed) {
      if (!WritePartHeader(fb, k)) return false;
      b.wrote_index = true;
    }
  if (fb->data.header_changed) {
    if (!WritePartHeader(fb, 0)) return false;
    b.wrote_data = true;
  }
  return true;
}

bool FlushWritten(BlockTxn& b) {
  if (b.wrote_data && !FlushFile(b.fb->data_file)) return false;
  b.wrote_data = false;
  if (b.wrote_index && !FlushFile(b.fb->index_file)) return false;
  b.wrote_index = false;
  return true;
}

// Puts back what the transaction overwrote after its journal was replayed.
bool PutBack(BlockTxn& b) {
  FileBlock* fb = b.fb;
  for (auto k = b.kept.rbegin(); k != b.kept.rend(); ++k)
    if (!WriteExact(*k->file, k->offset, k->old.data(), k->old.size())) return false;
  if (fb->data_file.Size() > b.data_size0 && !TruncateFile(fb->data_file, b.data_size0)) return false;
  if (fb->index_file.IsOpen() && fb->index_file.Size() > b.index_size0 && !TruncateFile(fb->index_file, b.index_size0))
    return false;
  for (const auto& n : b.notes)
    if (!WritePartHeader(fb, n.part)) return false;
  return FlushFile(fb->data_file) && (!fb->index_file.IsOpen() || FlushFile(fb->index_file));
}

// The status a failed commit reports: the repair code of the first changing call, or the
// failure itself when no call had one (a transaction of record rewrites only).
int FailedCommitStatus() {
  int code = TheTxn().repaired_code;
  return code != 0 ? code : IsamError;
}

}  // namespace

void EndTxn() {
  Txn& t = TheTxn();
  for (auto& b : t.blocks) b->fb->txn = nullptr;
  t.blocks.clear();
  t.images.Reset();
  t.live_images.Reset();
  disk::Close(t.file);
  t.file_name.clear();
  t.file_end = t.file_list_end = 0;
  t.listed = 0;
  t.committed = false;
  t.active = false;
  t.depth = 0;
  t.doomed = false;
  t.doom_status = 0;
  t.repaired_code = 0;
  t.call = nullptr;
  t.call_fb = nullptr;
}

int RollbackTxn(int status, int dos, std::uint16_t func, bool keep_open) {
  Txn& t = TheTxn();
  int depth = t.depth;
  bool ok = true;
  // A commit chunk on the disk would finish the transaction at the next open: it goes first.
  if (t.committed) ok = InvalidateCommit(t);
  for (auto& bp : t.blocks) {
    BlockTxn& b = *bp;
    FileBlock* fb = b.fb;
    for (const auto& n : b.notes) {
      SetHeaderFromImage(fb, n.part, n.image);
      if (n.part == 0) fb->data.header_changed = false;
      else fb->index[n.part].header_changed = false;
    }
    TheEngine().pool.DropBlock(fb);
    RecountRows(fb);
    for (int k = 1; k <= fb->key_count; ++k) InvalidatePosition(fb, k);
    // Nothing reaches a data or index file before the journal: a block whose journal got
    // nothing was not touched.
    if (!ok || b.journal.empty()) continue;
    if (b.journal_emptied)
      ok = WriteExact(fb->journal_file, 1, b.journal.data(), b.journal.size()) && FlushFile(fb->journal_file);
    ok = ok && Repair(fb) && PutBack(b);
  }
  if (t.file.IsOpen()) {
    // Left behind when a block could not be put back: the next open rolls back from it.
    if (ok) ok = DeleteTxnFile(t);
    else disk::Close(t.file);
  }
  EndTxn();
  ResetStatus();
  NotePlatformError(dos, func);
  int final_status = ok ? status : kRepairFailed;
  if (final_status != 0) Fail(final_status);
  if (keep_open) {
    // An explicit transaction stays until its caller ends it, refusing changes.
    t.active = true;
    t.depth = depth;
    t.doomed = true;
    t.doom_status = final_status != 0 ? final_status : kGeneral;
  }
  return final_status;
}

bool CommitTxn() {
  Txn& t = TheTxn();
  bool multi = t.blocks.size() > 1;
  bool live = std::any_of(t.blocks.begin(), t.blocks.end(), [](const auto& b) { return b->has_live; });
  bool ok = !multi || ListBlocks(t);
  for (auto& b : t.blocks) ok = ok && WriteJournalEntries(*b);
  for (auto& b : t.blocks) ok = ok && WriteImages(*b, false, false) && WriteHeaders(*b);
  for (auto& b : t.blocks) ok = ok && FlushWritten(*b);
  if (ok && (multi || live)) ok = WriteCommitChunk(t);
  if (live) {
    for (auto& b : t.blocks) ok = ok && (!b->has_live || WriteImages(*b, true, false));
    for (auto& b : t.blocks) ok = ok && FlushWritten(*b);
  }
  for (auto& b : t.blocks) {
    if (!ok) break;
    if (b->journal.empty()) continue;
    ok = EmptyJournal(b->fb);
    b->journal_emptied = ok;
  }
  if (!ok) {
    RollbackTxn(FailedCommitStatus(), IsamDosError, IsamDosFunc, false);
    return false;
  }
  // Every journal is empty: the transaction is complete. A transaction file that cannot be
  // deleted now is a finished one, which the next open of one of its blocks deletes.
  if (t.file.IsOpen() && !DeleteTxnFile(t)) ResetStatus();
  EndTxn();
  return true;
}

bool SpillTxn() {
  Txn& t = TheTxn();
  bool ok = t.blocks.size() <= 1 || ListBlocks(t);
  for (auto& b : t.blocks) ok = ok && WriteJournalEntries(*b);
  for (auto& b : t.blocks) ok = ok && WriteImages(*b, false, true);
  if (ok) t.images.Reset();
  if (!ok) {
    RollbackTxn(FailedCommitStatus(), IsamDosError, IsamDosFunc, true);
    return false;
  }
  return true;
}

bool LeaveTxn(FileBlock* fb) {
  if (fb->txn == nullptr) return false;
  Txn& t = TheTxn();
  RollbackTxn(kCloseFailed, 0, 0, t.depth > 0);
  return true;
}

// --- The interface --------------------------------------------------------------------------

void BeginTransaction() {
  ResetStatus();
  if (!TheEngine().started) return void(Corrupt(kNotStarted));
  Txn& t = TheTxn();
  t.active = true;
  ++t.depth;
}

void CommitTransaction() {
  ResetStatus();
  if (!TheEngine().started) return void(Corrupt(kNotStarted));
  Txn& t = TheTxn();
  if (t.depth == 0) return;
  if (t.depth > 1) {
    --t.depth;
    if (t.doomed) Corrupt(t.doom_status);
    return;
  }
  if (t.doomed) {
    int status = t.doom_status;
    EndTxn();
    return void(Corrupt(status));
  }
  CommitTxn();
}

void RollbackTransaction() {
  int failure = IsamError;
  ResetStatus();
  if (!TheEngine().started) return void(Corrupt(kNotStarted));
  Txn& t = TheTxn();
  if (t.depth == 0) return;
  if (t.depth == 1) {
    if (t.doomed) EndTxn();
    else RollbackTxn(0, 0, 0, false);
    return;
  }
  // An inner rollback undoes the whole transaction; the outer commit then fails with the
  // status that made the inner one give up.
  --t.depth;
  if (!t.doomed && RollbackTxn(0, 0, 0, true) == 0 && failure != 0) t.doom_status = failure;
}

bool InTransaction() { return TheTxn().depth > 0; }

}  // namespace olbrax::isam
