// The before-image journal: the entries a transaction writes before it changes a block's files,
// and the repair that puts a block back as it was from them.
#include <algorithm>
#include <cstring>

#include "storage/engine.h"

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

// The journal is written in one piece and flushed before any data or index byte is changed, so
// an entry that a power loss tore (sectors left as zeros) belongs to an operation that changed
// nothing yet. Such an entry ends the replay instead of being written over good pages. An entry
// is torn when it holds what no engine ever writes: a header of another size, a free-chain link
// of 0, a page number or record number below 1, a key longer than the index allows.
bool PlausibleHeader(const FileBlock* fb, int part, const unsigned char* image, std::int32_t link) {
  if (link == 0 || link < kNoLink) return false;
  if (part == 0) return DataHeader::Decode(image).rec_len == fb->data.h.rec_len;
  return IndexHeader::Decode(image).page_size == fb->index[part].h.page_size;
}

bool PlausiblePage(const unsigned char* items, int count, int key_len, std::int32_t page) {
  if (page < 1) return false;
  for (int i = 0; i < count; ++i, items += ItemSize(key_len))
    if (GetI32(items) < 1 || items[8] > key_len) return false;
  return true;
}

}  // namespace

bool Repair(FileBlock* fb) {
  if (fb->read_only) return Corrupt(kRepairReadOnly);
  TheEngine().pool.DropBlock(fb);
  const unsigned char zero = 0;
  if (!WriteExact(fb->journal_file, 0, &zero, 1)) return Corrupt(kRepairFailed);

  std::int64_t at = 1;
  bool failed = false;
  std::vector<unsigned char> buf(kHeaderEntrySize + kItemsPerPage * ItemSize(kMaxKeyLen) + 16);
  for (;;) {
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
      if (!PlausibleHeader(fb, part, image, link)) break;
      if (link != kNoLink) {
        // Relink the element the operation took from the free chain.
        std::int32_t element = GetI32(image);
        unsigned char raw[4];
        PutI32(raw, link);
        bool ok = element >= 1 &&
                  (part == 0 ? WriteExact(fb->data_file, fb->RecordOffset(element), raw, 4)
                             : WriteExact(fb->index_file, fb->PageOffset(part, element), raw, 4));
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
      if (!PlausiblePage(buf.data() + 6, tag, key_len, page)) break;
      std::vector<unsigned char> out(6 + tag * ItemSize(key_len));
      PutU16(out.data(), tag);
      std::memcpy(out.data() + 2, tail + 4, 4);
      std::memcpy(out.data() + 6, buf.data() + 6, static_cast<std::size_t>(tag * ItemSize(key_len)));
      if (!WriteExact(fb->index_file, fb->PageOffset(k, page), out.data(), out.size()))
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
