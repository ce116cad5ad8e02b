// Starting and stopping the engine, and the life of a file block: create, open, close, delete.
#include <algorithm>
#include <memory>
#include <new>

#include "storage/engine.h"
#include "storage/file_names.h"
#include "storage/header_bounds.h"
#include "storage/isam.h"
#include "storage/txn_file.h"

namespace olbrax::isam {

namespace {

constexpr int kMaxWorkstation = 50;

bool Fails(int win_error, std::uint16_t func, int status) {
  NotePlatformError(win_error, func);
  Fail(status);
  return false;
}

}  // namespace

Engine& TheEngine() {
  static Engine engine;
  return engine;
}

bool IsamStarted() { return TheEngine().started; }
int IsamMaxWorkstation() { return TheEngine().max_workstation; }

bool IsOpenBlock(const FileBlock* fb) {
  if (fb == nullptr) return false;
  const auto& open = TheEngine().open;
  return std::find(open.begin(), open.end(), fb) != open.end() && fb->mark == kValidMark;
}

bool Enter(FileBlock* fb, bool changing, int k) {
  ResetStatus();
  if (!TheEngine().started) return Corrupt(kNotStarted);
  if (!IsOpenBlock(fb)) return Corrupt(kNotOpen);
  if (changing && fb->read_only) return Corrupt(kReadOnlyChange);
  if (k != -1 && (k < 1 || k > fb->key_count)) return Corrupt(kBadKeyNumber);
  return true;
}

bool Corrupt(int code) {
  Fail(code);
  return false;
}

bool ReadSome(disk::File& file, std::int64_t offset, void* buffer, std::size_t len,
              std::size_t& got) {
  if (int e = disk::Read(file, offset, buffer, len, got); e != 0)
    return Fails(e, DosFunc::kRead, StatusForFileIo(e));
  return true;
}

bool ReadExact(disk::File& file, std::int64_t offset, void* buffer, std::size_t len) {
  std::size_t got = 0;
  if (!ReadSome(file, offset, buffer, len, got)) return false;
  return got == len || Corrupt(kShortRead);
}

bool WriteExact(disk::File& file, std::int64_t offset, const void* data, std::size_t len) {
  std::size_t put = 0;
  if (int e = disk::Write(file, offset, data, len, put); e != 0)
    return Fails(e, DosFunc::kWrite, StatusForFileIo(e));
  return put == len || Corrupt(kShortWrite);
}

bool FlushFile(disk::File& file) {
  int e = disk::Flush(file);
  if (e == disk::kErrTooManyOpenFiles) e = disk::Reopen(file);  // close and open again instead
  if (e != 0) return Fails(e, DosFunc::kFlush, StatusForFileIo(e));
  return true;
}

bool TruncateFile(disk::File& file, std::int64_t size) {
  if (int e = disk::Truncate(file, size); e != 0)
    return Fails(e, DosFunc::kWrite, StatusForFileIo(e));
  return true;
}

void HeaderImage(const FileBlock* fb, int part, unsigned char out[kIndexHeaderSize]) {
  std::fill(out, out + kIndexHeaderSize, 0);
  if (part == 0) fb->data.h.Encode(out);
  else fb->index[part].h.Encode(out);
}

void SetHeaderFromImage(FileBlock* fb, int part, const unsigned char image[kIndexHeaderSize]) {
  if (part == 0) {
    fb->data.h = DataHeader::Decode(image);
    fb->data.header_changed = true;
  } else {
    fb->index[part].h = IndexHeader::Decode(image);
    fb->index[part].header_changed = true;
  }
}

bool WritePartHeader(FileBlock* fb, int part) {
  unsigned char image[kIndexHeaderSize];
  HeaderImage(fb, part, image);
  if (part == 0) {
    if (!WriteExact(fb->data_file, 0, image, kDataHeaderSize)) return false;
    fb->data.header_changed = false;
  } else {
    if (!WriteExact(fb->index_file, fb->index[part].slot_offset, image, kIndexHeaderSize))
      return false;
    fb->index[part].header_changed = false;
  }
  return true;
}

bool MarkInUse(FileBlock* fb) {
  if (fb->journal || fb->in_use) return true;
  fb->in_use = true;
  fb->data.h.in_use = 1;
  const unsigned char one = 1;
  return WriteExact(fb->data_file, 20, &one, 1);
}

void RecountRows(FileBlock* fb) {
  std::int32_t highest = 0;
  for (int k = 1; k <= fb->key_count; ++k) highest = std::max(highest, fb->index[k].h.page_count);
  fb->rows = highest + 1;
}

// --- Engine -------------------------------------------------------------------------------

int InitIsam(int mode, int buffers) {
  ResetStatus();
  Engine& e = TheEngine();
  if (e.started) return Corrupt(kStartedTwice), 0;
  if (buffers < kMinBuffers) return Corrupt(kTooFewBuffersAsked), 0;
  if (mode != 0 && mode != 2) return Corrupt(kBadMode), 0;
  // Network mode installs the retrying byte-range locks of shared blocks; this program never
  // opens a block shared, so all it changes is the workstation limit.
  int made = e.pool.Create(buffers);
  if (made < kMinBuffers) {
    e.pool.Release();
    return Corrupt(kTooFewBuffers), 0;
  }
  e.mode = mode;
  e.max_workstation = mode == 2 ? kMaxWorkstation : 0;
  e.started = true;
  return made;
}

void ExitIsam() {
  ResetStatus();
  Engine& e = TheEngine();
  if (!e.started) return void(Corrupt(kNotStarted));
  if (TheTxn().active) RollbackTxn(0, 0, 0, false);
  int first_failure = 0;
  std::vector<FileBlock*> blocks = e.open;
  for (FileBlock* fb : blocks) {
    FileBlock* ref = fb;
    CloseFileBlock(ref);
    if (!IsamOK && first_failure == 0) first_failure = IsamError;
  }
  ResetStatus();
  if (first_failure != 0) return void(Corrupt(first_failure));
  e.started = false;
  e.pool.Release();
}

void IsamExtendHandles(int n) {
  ResetStatus();
  if (disk::RaiseHandleLimit(n) < n) Corrupt(kTooFewHandles);
}

// --- Create and delete ----------------------------------------------------------------------

namespace {

struct IndexGeometry {
  std::vector<std::int64_t> slot;  // slot[k], k = 1..keys
  std::vector<int> page_size;
  std::int64_t row_size = 0;
};

IndexGeometry Geometry(int keys, const KeyDescs& desc) {
  IndexGeometry g;
  g.slot.assign(static_cast<std::size_t>(keys) + 1, 0);
  g.page_size.assign(static_cast<std::size_t>(keys) + 1, 0);
  for (int k = 1; k <= keys; ++k) {
    g.slot[k] = g.row_size;
    g.page_size[k] = PageSizeFor(desc[k - 1].key_len);
    g.row_size += g.page_size[k];
  }
  return g;
}

bool CreateFile(const Text& name, disk::File& out) {
  if (int e = disk::Create(name, out); e != 0)
    return Fails(e, DosFunc::kOpen, StatusForCreate(e));
  return true;
}

bool CloseFile(disk::File& file) {
  if (int e = disk::Close(file); e != 0) return Fails(e, DosFunc::kClose, StatusForFileIo(e));
  return true;
}

bool CreateDataFile(const Text& name, int rec_len, int keys) {
  disk::File f;
  if (!CreateFile(name, f)) return false;
  std::vector<unsigned char> slot0(static_cast<std::size_t>(rec_len), 0);
  DataHeader h;
  h.rec_len = rec_len;
  h.key_count = keys;
  h.Encode(slot0.data());
  return WriteExact(f, 0, slot0.data(), slot0.size()) && FlushFile(f) && CloseFile(f);
}

bool CreateIndexFile(const Text& name, int keys, const KeyDescs& desc) {
  for (int k = 1; k <= keys; ++k) {
    if (desc[k - 1].key_len < 1 || desc[k - 1].key_len > kMaxKeyLen) return Corrupt(kBadKeyLen);
  }
  IndexGeometry g = Geometry(keys, desc);
  std::vector<unsigned char> row0(static_cast<std::size_t>(g.row_size), 0);
  for (int k = 1; k <= keys; ++k) {
    IndexHeader h;
    h.page_size = g.page_size[k];
    h.dups = desc[k - 1].dups ? 1 : 0;
    h.Encode(row0.data() + g.slot[k]);
  }
  disk::File f;
  if (!CreateFile(name, f)) return false;
  return WriteExact(f, 0, row0.data(), row0.size()) && FlushFile(f) && CloseFile(f);
}

}  // namespace

void CreateFileBlock(std::string_view name, int rec_len, int keys, const KeyDescs& desc) {
  ResetStatus();
  if (rec_len < kMinRecLen) return void(Corrupt(kRecLenTooSmall));
  if (keys < 0 || keys > kMaxKeys) return void(Corrupt(kTooManyKeys));
  for (int k = 1; k <= keys; ++k) {
    if (desc[k - 1].key_len < 1 || desc[k - 1].key_len > kMaxKeyLen) return void(Corrupt(kBadKeyLen));
  }
  BlockNames names = SplitBlockName(name);
  DeleteFileBlock(name);
  ResetStatus();
  if (!CreateDataFile(names.data, rec_len, keys) ||
      (keys > 0 && !CreateIndexFile(names.index, keys, desc))) {
    int status = IsamError;
    int dos = IsamDosError;
    std::uint16_t func = IsamDosFunc;
    disk::Delete(names.index);
    disk::Delete(names.data);
    ResetStatus();
    NotePlatformError(dos, func);
    Fail(status);
  }
}

void DeleteFileBlock(std::string_view name) {
  ResetStatus();
  BlockNames names = SplitBlockName(name);
  disk::Delete(names.index);
  disk::Delete(names.journal);
  if (int e = disk::Delete(names.data); e != 0) Fails(e, DosFunc::kDelete, StatusForDelete(e));
}

// --- Open and close -------------------------------------------------------------------------

namespace {

bool OpenFile(const Text& name, bool writable, disk::File& out) {
  if (int e = disk::Open(name, writable, out); e != 0)
    return Fails(e, DosFunc::kOpen, StatusForOpen(e));
  return true;
}

bool ReadIndexHeaders(FileBlock* fb) {
  if (int e = disk::Open(fb->index_name, !fb->read_only, fb->index_file); e != 0) {
    int status = e == disk::kErrTooManyOpenFiles ? StatusForOpen(e) : kInUseOrIndexOpen;
    return Fails(e, DosFunc::kOpen, status);
  }
  std::int64_t offset = 0;
  for (int k = 1; k <= fb->key_count; ++k) {
    unsigned char raw[kIndexHeaderSize];
    if (!ReadExact(fb->index_file, offset, raw, sizeof raw)) return false;
    IndexPart& ip = fb->index[k];
    ip.h = IndexHeader::Decode(raw);
    int items = ip.h.ItemsPerPage();
    if (items > kItemsPerPage) return Corrupt(kBadItemsPerPage);
    int key_len = (ip.h.page_size - kPageHeadSize) / items - 9;
    if (key_len < 1 || key_len > kMaxKeyLen) return Corrupt(kBadIndexKeyLen);
    if (ip.h.page_size != kPageHeadSize + items * (key_len + 9) || items != kItemsPerPage)
      return Corrupt(kBadPageSize);
    ip.key_len = key_len;
    ip.slot_offset = offset;
    offset += ip.h.page_size;
  }
  fb->row_size = offset;
  RecountRows(fb);
  return true;
}

bool HeadersFitFiles(const FileBlock* fb) {
  if (!DataHeaderFault(fb->data.h, fb->data_file.Size()).empty()) return Corrupt(kBadDataHeader);
  for (int k = 1; k <= fb->key_count; ++k) {
    std::int64_t held = PagesInFile(fb->index_file.Size(), fb->row_size, fb->index[k].slot_offset);
    if (!IndexHeaderFault(fb->index[k].h, held).empty()) return Corrupt(kBadDataHeader);
  }
  return true;
}

}  // namespace

void OpenFileBlock(FileBlock*& ref, std::string_view name, bool read_only, bool shared,
                   bool journal, bool no_create) {
  ResetStatus();
  if (!TheEngine().started) return void(Corrupt(kNotStarted));
  if (!read_only && !no_create) {
    // A transaction that a crash interrupted is settled for all its blocks first.
    BlockNames names = SplitBlockName(name);
    if (!RecoverTransactions(names.data, names.journal)) return;
    ResetStatus();
  }
  OpenBlock(ref, name, read_only, shared, journal, no_create);
}

void OpenBlock(FileBlock*& ref, std::string_view name, bool read_only, bool shared, bool journal,
               bool no_create) {
  ResetStatus();
  if (no_create) read_only = true;
  if (read_only) journal = false;

  auto fb = std::unique_ptr<FileBlock>(new (std::nothrow) FileBlock);
  if (!fb) return void(Corrupt(kOpenMemory));
  BlockNames names = SplitBlockName(name);
  fb->data_name = names.data;
  fb->index_name = names.index;
  fb->journal_name = names.journal;
  fb->read_only = read_only;
  fb->journal = journal;
  fb->shared = shared;

  bool made_journal = false;
  auto give_up = [&] {
    int status = IsamError;
    int dos = IsamDosError;
    std::uint16_t func = IsamDosFunc;
    TheEngine().pool.DropBlock(fb.get());
    disk::Close(fb->journal_file);
    disk::Close(fb->index_file);
    disk::Close(fb->data_file);
    if (made_journal) disk::Delete(fb->journal_name);
    ResetStatus();
    NotePlatformError(dos, func);
    Fail(status);
  };

  // The journal first: a block left in the middle of a change is repaired before use.
  bool journal_found = disk::Open(fb->journal_name, !read_only, fb->journal_file) == 0;
  if (!journal_found && journal) {
    if (read_only) return void(Corrupt(kJournalReadOnly));
    disk::File created;
    const unsigned char zero = 0;
    if (!CreateFile(fb->journal_name, created) || !WriteExact(created, 0, &zero, 1) ||
        !FlushFile(created) || !CloseFile(created))
      return give_up();
    made_journal = true;
    if (!OpenFile(fb->journal_name, true, fb->journal_file)) return give_up();
  }

  if (!OpenFile(fb->data_name, !read_only, fb->data_file)) return give_up();
  unsigned char raw[kDataHeaderSize];
  if (!ReadExact(fb->data_file, 0, raw, sizeof raw)) return give_up();
  fb->data.h = DataHeader::Decode(raw);
  if (fb->data.h.key_count < 0 || fb->data.h.key_count > kMaxKeys) {
    Corrupt(kBadDataHeader);
    return give_up();
  }
  if (fb->data.h.rec_len < kMinRecLen) {
    Corrupt(kBadDataHeader);
    return give_up();
  }
  fb->key_count = fb->data.h.key_count;
  fb->index.resize(static_cast<std::size_t>(fb->key_count) + 1);
  if (fb->key_count > 0 && !ReadIndexHeaders(fb.get())) return give_up();
  if (fb->data.h.in_use == 1) {
    Corrupt(kInUseOrIndexOpen);
    return give_up();
  }

  FileBlock* block = fb.get();
  TheEngine().open.push_back(block);
  block->mark = kValidMark;
  auto withdraw = [&] {
    TheEngine().open.pop_back();
    block->mark = 0;
    give_up();
  };

  if (journal_found && block->journal_file.Size() > 1) {
    bool repaired = !read_only && Repair(block);
    if (!repaired) {
      if (read_only) Corrupt(kJournalReadOnly);
      return withdraw();
    }
    ResetStatus();
  }
  // Every later call follows the counts and chain heads of the headers: they must lie in the
  // files (after the repair, which may have put older headers back).
  if (!HeadersFitFiles(block)) return withdraw();
  if (!journal && journal_found) {
    disk::Close(block->journal_file);
    if (!read_only) disk::Delete(block->journal_name);
  }
  ref = fb.release();
}

void CloseFileBlock(FileBlock*& ref) {
  ResetStatus();
  if (!TheEngine().started) return void(Corrupt(kNotStarted));
  FileBlock* fb = ref;
  if (fb == nullptr || fb->mark != kValidMark) return void(Corrupt(kNotOpen));
  auto& open = TheEngine().open;
  auto it = std::find(open.begin(), open.end(), fb);
  if (it == open.end()) return void(Corrupt(kNotOpenAtClose));

  // A transaction that changed the block and is not committed cannot outlive it.
  bool ok = !LeaveTxn(fb);
  if (!fb->journal && !fb->read_only) {
    ok = WriteDirtyPages(fb);
    fb->data.h.in_use = 0;
    ok = ok && WritePartHeader(fb, 0) && FlushFile(fb->data_file) &&
         (fb->key_count == 0 || FlushFile(fb->index_file));
  }
  TheEngine().pool.DropBlock(fb);
  ok = disk::Close(fb->journal_file) == 0 && ok;
  ok = disk::Close(fb->index_file) == 0 && ok;
  ok = disk::Close(fb->data_file) == 0 && ok;
  open.erase(it);
  fb->mark = 0;
  delete fb;
  ref = nullptr;
  if (!ok) Fail(kCloseFailed);
}

int RecordLength(const FileBlock* fb) { return IsOpenBlock(fb) ? fb->data.h.rec_len : 0; }

}  // namespace olbrax::isam
