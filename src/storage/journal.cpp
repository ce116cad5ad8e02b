// The before-image journal: collecting entries during a changing operation, committing, and the
// repair that puts a block back as it was before an interrupted operation.
#include <algorithm>
#include <cstring>

#include "storage/engine.h"
#include "storage/journal_scan.h"

namespace olbrax::isam {

namespace {

std::uint64_t PageId(int k, std::int32_t page) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(k)) << 32) |
         static_cast<std::uint32_t>(page);
}

void AppendHeaderEntry(std::string& out, int part, const unsigned char image[kIndexHeaderSize],
                       std::int32_t link) {
  unsigned char e[kHeaderEntrySize] = {};
  PutU16(e, kHeaderTag);
  PutU16(e + 2, static_cast<std::uint16_t>(part));
  std::memcpy(e + 4, image, kIndexHeaderSize);
  PutI32(e + 32, link);
  out.append(reinterpret_cast<const char*>(e), sizeof e);
}

}  // namespace

Change& CurrentChange() {
  static Change change;
  return change;
}

bool Change::Journaled() const { return fb_ != nullptr && fb_->journal; }

void Change::Begin(FileBlock* fb, int repaired_code) {
  fb_ = fb;
  repaired_code_ = repaired_code;
  notes_.clear();
  pages_.clear();
  saved_.clear();
  fresh_.clear();
  undo_.clear();
  spilled_ = false;
  data_size_ = fb->data_file.Size();
  index_size_ = fb->index_file.IsOpen() ? fb->index_file.Size() : 0;
}

Change::HeaderNote* Change::FindNote(int part) {
  for (auto& n : notes_)
    if (n.part == part) return &n;
  return nullptr;
}

void Change::NoteHeader(int part) {
  if (!Active() || FindNote(part)) return;
  HeaderNote n;
  n.part = part;
  HeaderImage(fb_, part, n.image);
  notes_.push_back(std::move(n));
}

void Change::NoteTake(int part, std::int32_t next) {
  if (!Active()) return;
  NoteHeader(part);
  Take t;
  HeaderImage(fb_, part, t.image);
  t.link = next;
  FindNote(part)->takes.push_back(t);
}

void Change::NotePage(const PageBuf& b) {
  if (!Journaled() || b.fb != fb_) return;
  std::uint64_t id = PageId(b.k, b.page);
  if (std::find(saved_.begin(), saved_.end(), id) != saved_.end() || IsFresh(b.k, b.page)) return;
  saved_.push_back(id);
  // A page with no items has nothing to restore that a later page entry could not express
  // (the tag is the item count, 1..62); an empty page only occurs as a new root in the making.
  if (b.count == 0) return;
  int key_len = fb_->index[b.k].key_len;
  std::string e(static_cast<std::size_t>(b.count * ItemSize(key_len) + kPageEntryExtra), '\0');
  auto* p = reinterpret_cast<unsigned char*>(e.data());
  PutU16(p, b.count);
  PutU16(p + 2, static_cast<std::uint16_t>(b.k));
  PutU16(p + 4, static_cast<std::uint16_t>(static_cast<std::uint32_t>(b.cell[0].right) >> 16));
  PackItems(b.cell, b.count, key_len, p + 6);
  unsigned char* tail = p + 6 + b.count * ItemSize(key_len);
  PutI32(tail, b.page);
  PutI32(tail + 4, b.cell[0].right);
  pages_ += e;
}

void Change::NoteFresh(int k, std::int32_t page) {
  if (Active()) fresh_.push_back(PageId(k, page));
}

bool Change::IsFresh(int k, std::int32_t page) const {
  return std::find(fresh_.begin(), fresh_.end(), PageId(k, page)) != fresh_.end();
}

bool Change::KeepOld(disk::File& file, std::int64_t offset, std::size_t len) {
  if (!Journaled()) return true;
  Undo u{&file, offset, std::string(len, '\0')};
  std::size_t got = 0;
  if (!ReadSome(file, offset, u.old.data(), len, got)) return false;
  u.old.resize(got);
  undo_.push_back(std::move(u));
  return true;
}

bool Change::Spill() {
  if (!Journaled() || spilled_) return true;
  std::string entries;
  for (const auto& n : notes_) {
    // Newest take first, so that the replay ends with the header as it was before.
    for (auto t = n.takes.rbegin(); t != n.takes.rend(); ++t)
      AppendHeaderEntry(entries, n.part, t->image, t->link);
    if (n.takes.empty()) AppendHeaderEntry(entries, n.part, n.image, kNoLink);
  }
  entries += pages_;
  spilled_ = true;
  if (entries.empty()) return true;
  return WriteExact(fb_->journal_file, 1, entries.data(), entries.size()) &&
         FlushFile(fb_->journal_file);
}

bool Change::Commit() {
  if (!Active()) return true;
  FileBlock* fb = fb_;
  if (!fb->journal) {
    End();
    return true;
  }
  bool data_touched = false, index_touched = false;
  for (const auto& n : notes_) {
    data_touched = data_touched || n.part == 0;
    index_touched = index_touched || n.part > 0;
  }
  bool ok = Spill() && WriteDirtyPages(fb);
  for (const auto& n : notes_) {
    if (!ok) break;
    bool changed = n.part == 0 ? fb->data.header_changed : fb->index[n.part].header_changed;
    if (changed) ok = WritePartHeader(fb, n.part);
  }
  ok = ok && (!data_touched || FlushFile(fb->data_file)) && (!index_touched || FlushFile(fb->index_file)) &&
       (notes_.empty() ? true : EmptyJournal(fb));
  if (!ok) {
    Fail();
    return false;
  }
  End();
  return true;
}

void Change::RestoreMemory(bool drop_all) {
  for (const auto& n : notes_) {
    SetHeaderFromImage(fb_, n.part, n.image);
    if (n.part == 0) fb_->data.header_changed = false;
    else fb_->index[n.part].header_changed = false;
  }
  RecountRows(fb_);
  if (drop_all) TheEngine().pool.DropBlock(fb_);
  else TheEngine().pool.DropDirty(fb_);
}

bool Change::PutBackKept() {
  for (auto u = undo_.rbegin(); u != undo_.rend(); ++u)
    if (!WriteExact(*u->file, u->offset, u->old.data(), u->old.size())) return false;
  if (fb_->data_file.Size() > data_size_ && !TruncateFile(fb_->data_file, data_size_)) return false;
  if (fb_->index_file.IsOpen() && fb_->index_file.Size() > index_size_ &&
      !TruncateFile(fb_->index_file, index_size_))
    return false;
  for (const auto& n : notes_)
    if (!WritePartHeader(fb_, n.part)) return false;
  return FlushFile(fb_->data_file) && (!fb_->index_file.IsOpen() || FlushFile(fb_->index_file));
}

void Change::Fail() {
  FileBlock* fb = fb_;
  int code = repaired_code_;
  if (!fb->journal) {
    // Without a journal there is nothing to repair from: the failure stands, and the data
    // header goes back to what the file still describes.
    for (const auto& n : notes_)
      if (n.part == 0) fb->data.h = DataHeader::Decode(n.image);
    End();
    return;
  }
  int dos = IsamDosError;
  std::uint16_t func = IsamDosFunc;
  RestoreMemory(true);
  bool ok = Repair(fb) && PutBackKept();
  for (int k = 1; k <= fb->key_count; ++k) InvalidatePosition(fb, k);
  End();
  ResetStatus();
  NotePlatformError(dos, func);
  isam::Fail(ok ? code : kRepairFailed);
}

void Change::Abandon() {
  if (!Active()) return;
  // Nothing reached the files: the operation refused before its first write. In journal mode
  // its dirty pages are all its own.
  if (fb_->journal) RestoreMemory(false);
  End();
}

void Change::End() {
  fb_ = nullptr;
  notes_.clear();
  pages_.clear();
  saved_.clear();
  fresh_.clear();
  undo_.clear();
}

// --- Repair ---------------------------------------------------------------------------------

bool EmptyJournal(FileBlock* fb) {
  return TruncateFile(fb->journal_file, 1) && FlushFile(fb->journal_file);
}

namespace {

// Reads the next entry's bytes; false at the end of the journal (a short read there, or at the
// start of an entry that was never written).
bool ReadEntry(FileBlock* fb, std::int64_t at, std::size_t len, unsigned char* out, bool& failed) {
  std::size_t got = 0;
  if (!ReadSome(fb->journal_file, at, out, len, got)) {
    failed = true;
    return false;
  }
  return got == len;
}

}  // namespace

bool Repair(FileBlock* fb) {
  if (fb->read_only) return Corrupt(kRepairReadOnly);
  // The whole journal is read before anything is written: one that names elements no header
  // has, or that would leave headers the files cannot hold, is refused and kept as it is.
  const JournalShape shape = ShapeOf(fb);
  JournalScan scan = ScanJournal(shape, [fb](std::int64_t at, void* out, std::size_t len, std::size_t& got) {
    return ReadSome(fb->journal_file, at, out, len, got);
  });
  if (!scan.Replayable()) return Corrupt(kRepairFailed);
  TheEngine().pool.DropBlock(fb);
  const unsigned char zero = 0;
  if (!WriteExact(fb->journal_file, 0, &zero, 1)) return Corrupt(kRepairFailed);

  std::int64_t at = 1;
  bool failed = false;
  std::vector<unsigned char> buf(kHeaderEntrySize + kItemsPerPage * ItemSize(kMaxKeyLen) + 16);
  while (at < scan.end) {
    unsigned char tag_bytes[2];
    if (!ReadEntry(fb, at, 2, tag_bytes, failed)) break;
    std::uint16_t tag = GetU16(tag_bytes);
    // A zero tag is space the journal was extended by but never written (a write torn by a
    // power loss): no entry starts there, and nothing of that operation reached the files.
    if (tag == kEndTag || tag == 0) break;
    if (tag == kHeaderTag) {
      if (!ReadEntry(fb, at, kHeaderEntrySize, buf.data(), failed)) break;
      int part = GetU16(buf.data() + 2);
      if (part > fb->key_count) return Corrupt(kRepairFailed);
      const unsigned char* image = buf.data() + 4;
      std::int32_t link = GetI32(buf.data() + 32);
      if (!PlausibleHeaderEntry(shape, part, image, link)) break;
      if (link != kNoLink) {
        // Relink the element the operation took from the free chain; one past the end of the
        // file was added by the change itself and is gone with it.
        std::int32_t element = GetI32(image);
        unsigned char raw[4];
        PutI32(raw, link);
        disk::File& file = part == 0 ? fb->data_file : fb->index_file;
        std::int64_t offset = part == 0 ? fb->RecordOffset(element) : fb->PageOffset(part, element);
        bool ok = element >= 1 && (!WithinFile(offset, 4, file.Size()) || WriteExact(file, offset, raw, 4));
        if (!ok) return Corrupt(kRepairFailed);
      }
      SetHeaderFromImage(fb, part, image);
      if (!WritePartHeader(fb, part)) return Corrupt(kRepairFailed);
      at += kHeaderEntrySize;
    } else if (tag <= kItemsPerPage) {
      unsigned char head[6];
      if (!ReadEntry(fb, at, 6, head, failed)) break;
      int k = GetU16(head + 2);
      if (k < 1 || k > fb->key_count) return Corrupt(kRepairFailed);
      int key_len = fb->index[k].key_len;
      std::size_t len = static_cast<std::size_t>(tag * ItemSize(key_len) + kPageEntryExtra);
      if (!ReadEntry(fb, at, len, buf.data(), failed)) break;
      const unsigned char* tail = buf.data() + 6 + tag * ItemSize(key_len);
      std::int32_t page = GetI32(tail);
      if (!PlausiblePageEntry(buf.data() + 6, tag, key_len, page)) break;
      std::vector<unsigned char> out(6 + tag * ItemSize(key_len));
      PutU16(out.data(), tag);
      std::memcpy(out.data() + 2, tail + 4, 4);
      std::memcpy(out.data() + 6, buf.data() + 6, static_cast<std::size_t>(tag * ItemSize(key_len)));
      // A page past the end of the file did not exist before the change: nothing to put back.
      if (WithinFile(fb->PageOffset(k, page), static_cast<std::int64_t>(out.size()), fb->index_file.Size()) &&
          !WriteExact(fb->index_file, fb->PageOffset(k, page), out.data(), out.size()))
        return Corrupt(kRepairFailed);
      at += static_cast<std::int64_t>(len);
    } else {
      return Corrupt(kRepairFailed);
    }
  }
  if (failed) return Corrupt(kRepairFailed);
  RecountRows(fb);
  bool ok = WritePartHeader(fb, 0) && FlushFile(fb->data_file) &&
            (fb->key_count == 0 || FlushFile(fb->index_file)) && EmptyJournal(fb);
  return ok || Corrupt(kRepairFailed);
}

}  // namespace olbrax::isam
