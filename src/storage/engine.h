// Engine internals shared by the engine's source files: the engine state, the entry check, the
// status-setting file calls, the changing operation with its journal, and page access.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/file_block.h"
#include "storage/isam_status.h"
#include "storage/page_pool.h"
#include "storage/txn.h"

namespace olbrax::isam {

struct Engine {
  bool started = false;
  int mode = 0;
  int max_workstation = 0;
  std::vector<FileBlock*> open;  // in opening order
  PagePool pool;
};
Engine& TheEngine();

bool IsOpenBlock(const FileBlock* fb);

// OpenFileBlock without settling interrupted transactions first (which is what settling them
// uses).
void OpenBlock(FileBlock*& fb, std::string_view name, bool read_only, bool shared, bool journal,
               bool no_create);

// The entry check of every record and key operation: resets the status and returns false
// (with the status set) when the call must not go on. `k` is checked when it is not -1.
bool Enter(FileBlock* fb, bool changing, int k = -1);

// File calls that set the engine status (and the platform error) when they fail.
bool ReadExact(disk::File& file, std::int64_t offset, void* buffer, std::size_t len);
// Reads up to `len` bytes; `got` is how many came. Only a failed call is an error.
bool ReadSome(disk::File& file, std::int64_t offset, void* buffer, std::size_t len, std::size_t& got);
bool WriteExact(disk::File& file, std::int64_t offset, const void* data, std::size_t len);
bool FlushFile(disk::File& file);
bool TruncateFile(disk::File& file, std::int64_t size);
// A page or free chain that cannot be what the file says it is.
bool Corrupt(int code = kGeneral);

// The part header image (28 bytes) as a journal header entry holds it: the data header's 21
// bytes and 7 zeros, or an index header.
void HeaderImage(const FileBlock* fb, int part, unsigned char out[kIndexHeaderSize]);
void SetHeaderFromImage(FileBlock* fb, int part, const unsigned char image[kIndexHeaderSize]);
// Writes a part header to its file: the data header's 21 bytes, or an index header's 28.
bool WritePartHeader(FileBlock* fb, int part);
// Marks the block in use before its first change (no-journal mode only).
bool MarkInUse(FileBlock* fb);

// Replays the journal of `fb` (at open, or for a failed operation). False, with status 10180
// (or 10430 for a read-only block), when the repair failed.
bool Repair(FileBlock* fb);
// Empties the journal: truncated to 1 byte and flushed.
bool EmptyJournal(FileBlock* fb);
// Appends the page entry (the before-image) of a page.
void AppendPageEntry(std::string& out, const PageBuf& b, int key_len);
// Writes the block's journal entries not yet in its journal file and flushes it.
bool WriteJournalEntries(BlockTxn& b);

// --- Pages ----------------------------------------------------------------------------------

// Page p of index k, read into a pinned buffer; empty (with the status set) on failure.
PageRef FetchPage(FileBlock* fb, int k, std::int32_t page);
// A new empty page for index k, from the free chain or past the last one.
PageRef NewPage(FileBlock* fb, int k);
// Puts a page on the free chain.
void FreePage(FileBlock* fb, PageBuf& b);
// To be called before a page is changed: journals its before-image once per operation.
void MarkDirty(PageBuf& b);
// Writes a dirty page (or the link of a freed one) to the index file of a block without the
// journal, whose pages are written when their buffer is needed or the block closes.
bool WritePage(PageBuf& b);
// Writes every dirty page and changed index header of a block without the journal.
bool WriteDirtyPages(FileBlock* fb);
// The number of index rows from the page counts (row 0 included).
void RecountRows(FileBlock* fb);
// Invalidates the positions of index k after a change.
void InvalidatePosition(FileBlock* fb, int k);

}  // namespace olbrax::isam
