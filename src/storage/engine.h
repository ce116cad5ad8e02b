// Engine internals shared by the engine's source files: the engine state, the entry check, the
// status-setting file calls, the changing operation with its journal, and page access.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "storage/file_block.h"
#include "storage/isam_status.h"
#include "storage/page_pool.h"

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

// --- The changing operation -----------------------------------------------------------------
//
// Every changing operation runs inside one Change. In journal mode it collects the
// before-images of the part headers and pages it changes, and at the end:
//   1. writes them to the journal in one write and flushes it,
//   2. writes the records, pages and headers and flushes the data and index files,
//   3. empties the journal (1 byte) and flushes it.
// So no data or index byte reaches its file before the journal entry that can undo it, and the
// journal is emptied only when the change is on the disk. When a file call fails on the way,
// Fail runs the repair from the journal and also puts back what this process knows it
// overwrote (record slots, appended space), so the files are as before, byte for byte.
//
// A part that gives up several elements of its free chain in one operation gets one header
// entry per element taken, written newest first: the replay then relinks every taken element
// and ends with the header as it was before the operation.
class Change {
 public:
  void Begin(FileBlock* fb, int repaired_code);
  bool Active() const { return fb_ != nullptr; }
  bool Journaled() const;
  FileBlock* Block() const { return fb_; }

  // Before the first change of a part header (0 = data file, k = index k).
  void NoteHeader(int part);
  // Before an element is taken from the part's free chain; `next` becomes the first free.
  void NoteTake(int part, std::int32_t next);
  // Before the first change of a page that existed before the operation.
  void NotePage(const PageBuf& b);
  // A page the operation took or made: it has no before-image to keep.
  void NoteFresh(int k, std::int32_t page);
  bool IsFresh(int k, std::int32_t page) const;
  // Keeps the bytes of a file that the operation is about to overwrite.
  bool KeepOld(disk::File& file, std::int64_t offset, std::size_t len);

  // Writes the collected entries to the journal and flushes it.
  bool Spill();
  // Ends the operation: entries, dirty pages, headers, flushes, empty journal. On a failed file
  // call it runs Fail and returns false.
  bool Commit();
  // Ends an operation that failed with an I/O error: repair, status = repair code or 10180.
  void Fail();
  // Ends an operation that refused (its status kept) after it may have changed memory.
  void Abandon();

 private:
  struct Take {
    unsigned char image[kIndexHeaderSize];
    std::int32_t link;
  };
  struct HeaderNote {
    int part;
    unsigned char image[kIndexHeaderSize];  // before the operation
    std::vector<Take> takes;
  };
  struct Undo {
    disk::File* file;
    std::int64_t offset;
    std::string old;
  };

  HeaderNote* FindNote(int part);
  // Puts the noted headers back in memory and forgets the block's dirty pages (all its pages
  // with `drop_all`).
  void RestoreMemory(bool drop_all);
  bool PutBackKept();
  void End();

  FileBlock* fb_ = nullptr;
  int repaired_code_ = 0;
  std::vector<HeaderNote> notes_;
  std::string pages_;  // page entries not yet in the journal
  std::vector<std::uint64_t> saved_;
  std::vector<std::uint64_t> fresh_;
  std::vector<Undo> undo_;
  std::int64_t data_size_ = 0;
  std::int64_t index_size_ = 0;
  bool spilled_ = false;
};

// The changing operation in progress (at most one: the engine is single-threaded).
Change& CurrentChange();

// Replays the journal of `fb` (at open, or for a failed operation). False, with status 10180
// (or 10430 for a read-only block), when the repair failed.
bool Repair(FileBlock* fb);
// Empties the journal: truncated to 1 byte and flushed.
bool EmptyJournal(FileBlock* fb);

// --- Pages ----------------------------------------------------------------------------------

// Page p of index k, read into a pinned buffer; empty (with the status set) on failure.
PageRef FetchPage(FileBlock* fb, int k, std::int32_t page);
// A new empty page for index k, from the free chain or past the last one.
PageRef NewPage(FileBlock* fb, int k);
// Puts a page on the free chain.
void FreePage(FileBlock* fb, PageBuf& b);
// To be called before a page is changed: journals its before-image once per operation.
void MarkDirty(PageBuf& b);
// Writes a dirty page (or the link of a freed one) to the index file.
bool WritePage(PageBuf& b);
// Writes every dirty page and changed index header of the block.
bool WriteDirtyPages(FileBlock* fb);
// The number of index rows from the page counts (row 0 included).
void RecountRows(FileBlock* fb);
// Invalidates the positions of index k after a change.
void InvalidatePosition(FileBlock* fb, int k);

}  // namespace olbrax::isam
