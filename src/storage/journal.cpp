// The before-image journal: the entries a transaction writes before it changes a block's files,
// and the repair that puts a block back as it was from them.
#include <algorithm>
#include <cstring>

#include "storage/engine.h"
#include "storage/journal_scan.h"

namespace olbrax::isam {

namespace {

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

void AppendPageEntry(std::string& out, const PageBuf& b, int key_len) {
  std::size_t at = out.size();
  out.resize(at + static_cast<std::size_t>(b.count * ItemSize(key_len) + kPageEntryExtra));
  auto* p = reinterpret_cast<unsigned char*>(out.data() + at);
  PutU16(p, b.count);
  PutU16(p + 2, static_cast<std::uint16_t>(b.k));
  PutU16(p + 4, static_cast<std::uint16_t>(static_cast<std::uint32_t>(b.cell[0].right) >> 16));
  PackItems(b.cell, b.count, key_len, p + 6);
  unsigned char* tail = p + 6 + b.count * ItemSize(key_len);
  PutI32(tail, b.page);
  PutI32(tail + 4, b.cell[0].right);
}

bool WriteJournalEntries(BlockTxn& b) {
  std::string entries;
  for (auto& n : b.notes) {
    std::size_t fresh_takes = n.takes.size() - n.takes_written;
    if (n.start_written && fresh_takes == 0) continue;
    // Takes newest first: replaying each relinks the element it took. The entry with the image
    // from before the transaction comes last, so that the header ends as it was; a single
    // call's oldest take already holds that image, as the per-call protocol writes it.
    for (std::size_t i = n.takes.size(); i > n.takes_written; --i)
      AppendHeaderEntry(entries, n.part, n.takes[i - 1].image, n.takes[i - 1].link);
    bool oldest_is_start = n.takes_written == 0 && fresh_takes > 0 &&
                           std::memcmp(n.takes[0].image, n.image, kIndexHeaderSize) == 0;
    if (!oldest_is_start) AppendHeaderEntry(entries, n.part, n.image, kNoLink);
    n.takes_written = n.takes.size();
    n.start_written = true;
  }
  entries += b.page_entries;
  b.page_entries.clear();
  if (entries.empty()) return true;
  std::int64_t at = 1 + static_cast<std::int64_t>(b.journal.size());
  b.journal += entries;
  return WriteExact(b.fb->journal_file, at, entries.data(), entries.size()) && FlushFile(b.fb->journal_file);
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
