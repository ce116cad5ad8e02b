// The transaction in progress: what it changed in each file block, kept in memory until the
// commit (storage/commit.cpp has the protocol and its invariants).
//
// Every changing engine call on a journaled block runs inside a transaction: an explicit one
// (BeginTransaction ... CommitTransaction), or else one of its own that commits when the call
// ends. Blocks opened without the journal take no part: their calls write at once, as always.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/text.h"
#include "storage/disk_file.h"
#include "storage/layout.h"

namespace olbrax {
struct FileBlock;
}

namespace olbrax::isam {

struct PageBuf;

// Bytes for page and record images, taken in order from chunks that stay with the engine from
// one transaction to the next (and from one spill to the next), so that staging a record goes
// neither to malloc nor, for memory the process has not touched yet, to a page fault.
class ImageArena {
 public:
  unsigned char* Take(std::size_t n);
  // Every chunk is free again; beyond a few megabytes they go back to the system.
  void Reset();
  std::size_t Used() const { return used_; }

 private:
  static constexpr std::size_t kChunk = 256 * 1024;
  static constexpr std::size_t kKeep = 24;
  struct Chunk {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t size;
  };
  std::vector<Chunk> chunks_;
  std::size_t current_ = 0;  // chunk being filled
  std::size_t fill_ = 0;     // bytes taken from it
  std::size_t used_ = 0;     // bytes taken from all
};

// A page slot as the transaction has changed it. `image` holds the bytes the per-call protocol
// would have written to the slot by now: at the end of every engine call (or when its buffer is
// taken for another page) a changed page is packed into it from byte 0, and bytes [0, extent)
// are what the commit writes. The marks stay when the image has been written out early.
struct PageState {
  unsigned char* image = nullptr;  // page size bytes in the transaction's arena, or null
  std::uint32_t extent = 0;
  bool freed = false;   // the image is a free-chain link (first 4 bytes)
  bool imaged = false;  // its before-image is in the journal entries
  bool fresh = false;   // taken or made by the transaction: nothing of it to restore
};

// A record slot as the transaction has changed it: the bytes from its start to the furthest byte
// written (the whole record after AddRec or PutRec, the free-chain link after DeleteRec); reads
// take the rest from the file. Empty once written out early. `live` records existed before the
// transaction and are rewritten in place: the journal cannot image them, so they reach the
// data file only after the commit point (their after-images in the transaction file first).
struct RecordState {
  unsigned char* bytes = nullptr;  // in the transaction's arena
  std::uint32_t size = 0;
  bool live = false;
};

// A part header before the transaction changed it, and the free-chain elements it gave up.
struct HeaderNote {
  struct Take {
    unsigned char image[kIndexHeaderSize];  // the header just before the take
    std::int32_t link;                      // the first-free value after it
  };
  int part = 0;
  unsigned char image[kIndexHeaderSize] = {};  // before the transaction
  std::vector<Take> takes;
  std::size_t takes_written = 0;  // takes already in the journal file
  bool start_written = false;     // an entry with `image` is in the journal file, after every take
};

// Bytes of a file that the transaction overwrote, for putting them back after a failure.
struct Kept {
  disk::File* file;
  std::int64_t offset;
  std::string old;
};

// One file block taking part in the transaction.
struct BlockTxn {
  FileBlock* fb = nullptr;
  std::vector<HeaderNote> notes;
  std::string page_entries;   // page entries not yet in the journal file
  std::string journal;        // everything written to the journal file after byte 0
  bool journal_emptied = false;
  std::unordered_map<std::uint64_t, PageState> pages;
  std::unordered_map<std::int32_t, RecordState> records;
  std::int32_t num_recs0 = 0;  // NumRecs when the block joined
  std::int64_t data_size0 = 0, index_size0 = 0;
  std::vector<Kept> kept;
  std::unordered_set<std::int64_t> kept_data, kept_index;  // offsets of the slots kept
  bool wrote_data = false, wrote_index = false;  // since the last flush of that file
  bool has_live = false;

  HeaderNote* FindNote(int part);
};

// The changes of the engine call in progress, so that a call that refuses half-way can put
// memory back as it was when the call began.
struct CallUndo {
  struct Header {
    int part;
    unsigned char image[kIndexHeaderSize];
    bool changed;
  };
  struct Packed {
    std::uint64_t id;
    bool existed;
    std::string image;
    std::uint32_t extent;
    bool freed;
  };
  std::vector<Header> headers;
  std::vector<Packed> packed;
  std::vector<PageBuf*> dirty;  // buffers the call changed
};

struct Txn {
  bool active = false;
  int depth = 0;             // explicit BeginTransaction nesting; 0 while a call runs alone
  bool doomed = false;       // rolled back by a failure; refuses changes until it is ended
  int doom_status = 0;
  int repaired_code = 0;     // of the first changing call that has one
  std::vector<std::unique_ptr<BlockTxn>> blocks;
  ImageArena images;        // pages and records that can be written out before the commit
  ImageArena live_images;   // records rewritten after the commit point
  // The transaction file: a list of the blocks (written once a second block takes part) and,
  // at the commit point, the commit chunk.
  Text file_name;
  disk::File file;
  std::int64_t file_end = 0;        // after the last chunk
  std::int64_t file_list_end = 0;   // after the last block list (before any commit chunk)
  std::size_t listed = 0;           // blocks named by the last block list written
  bool committed = false;           // the commit chunk is on the disk

  // The engine call in progress.
  FileBlock* call_fb = nullptr;
  BlockTxn* call = nullptr;
  int call_code = 0;
  CallUndo undo;
};

Txn& TheTxn();

std::uint64_t PageId(int k, std::int32_t page);

// --- The calls of the engine operations -----------------------------------------------------
//
// A changing operation begins with BeginCall, notes the headers it will change (NoteHeader) and
// the free-chain elements it takes (NoteTake), marks pages before changing them (MarkDirty in
// storage/engine.h), stages record bytes (StageRecord), and ends with EndCall (done), AbandonCall
// (refused before anything reached a file: its status stays) or FailCall (an I/O error: the
// transaction is rolled back, the status becomes the call's repair code).

// False (status set) when the block cannot take part in the transaction now.
bool BeginCall(FileBlock* fb, int repaired_code);
void NoteHeader(int part);
void NoteTake(int part, std::int32_t element, std::int32_t next);
void NotePage(const PageBuf& b);
void NoteFresh(int k, std::int32_t page);
// A buffer the call has just started to change (for packing it when the call ends).
void NoteDirty(PageBuf& b);
bool EndCall();
void AbandonCall();
void FailCall();

// Record bytes as the transaction sees them (its own changes first).
bool ReadRecord(FileBlock* fb, std::int32_t recno, std::int64_t offset, void* out, std::size_t len);
// Writes `len` bytes at `offset` within record `recno`: into the transaction, or straight to the
// file for a block without the journal.
bool StageRecord(FileBlock* fb, std::int32_t recno, const void* data, std::size_t len, bool adding);

// The page image of the transaction, if it has one (null otherwise).
const PageState* PendingPage(const FileBlock* fb, int k, std::int32_t page);
// Packs a changed page into the transaction's image of its slot.
void PackPage(PageBuf& b);

// --- The protocol (storage/commit.cpp) ------------------------------------------------------

// Commits the transaction; on failure rolls it back and sets the status.
bool CommitTxn();
// Rolls the transaction back and ends it; the status becomes `status` (0: none) with the
// platform error `dos`/`func`, or 10180 when a block could not be put back. With `keep_open` an
// explicit transaction stays, doomed, until its caller ends it. Returns the status.
int RollbackTxn(int status, int dos, std::uint16_t func, bool keep_open);
// Writes the pages and new records held in memory to the files (journal first), to bound the
// memory of a long transaction.
bool SpillTxn();
// Ends the transaction in memory (no file is touched).
void EndTxn();
// Leaves the transaction that `fb` takes part in (rolled back) before the block closes; true
// when it took part.
bool LeaveTxn(FileBlock* fb);

}  // namespace olbrax::isam
