// On-disk layout of a file block: data file, index file and journal. All integers are
// little-endian; record and page numbers are signed 32-bit.
//
// DATA FILE ("DAT"): slots of RecLen bytes; slot n at n * RecLen. Slot 0 holds the header in
// its first 21 bytes, zeros after them. A freed record keeps its bytes except the first 4,
// which hold the number of the next free record (-1 ends the chain).
//
//   offset width field
//        0     4 first free record, -1 when the chain is empty
//        4     4 free count
//        8     4 NumRecs, the highest record number handed out
//       12     4 RecLen, at least 21
//       16     4 key count, 0..100
//       20     1 in-use mark: 1 from the first change until a proper close (no-journal mode)
//
// INDEX FILE ("IX"): rows; a row holds one page slot per index, in index order. Index k's slot
// is PageSize(k) = 6 + 62 * (KeyLen(k) + 9) bytes at SlotOffset(k) = the sum of the page sizes
// of the indexes before it. Row 0 holds the index headers (28 bytes at the start of each slot,
// zeros after); page p (p >= 1) of index k lies at p * row size + SlotOffset(k).
//
//   index header                       page                        item (KeyLen + 9 bytes)
//   offset width field                 offset width field          offset width field
//        0     4 first free page            0     2 item count c        0     4 record number
//        4     4 free page count            2     4 leftmost child      4     4 right child
//        8     4 page count                 6   c*(KeyLen+9) items      8     1 key length n
//       12     4 PageSize                                               9 KeyLen key bytes
//       16     4 root page, 0 when empty
//       20     1 duplicates allowed (1) or unique (0)
//       21     1 reserved
//       22     4 key count (entries)
//       26     2 items per page, 62 (a stored 0 reads as 62)
//
// Free pages chain as free records do: the first 4 bytes of the slot hold the next free page.
//
// JOURNAL ("DIA"): byte 0 (not significant), then entries back to back to the end of file.
//   header entry (36 bytes): tag 1000 (2), part (2; 0 = data, k = index k), the part header
//     before the change (28; the data header is 21 bytes and 7 zeros), free-chain link (4):
//     -2, or the first-free value after an element was taken from the chain.
//   page entry (c * (KeyLen + 9) + 14 bytes): item count c 1..62 (2; it is the tag), index k
//     (2), high half of the leftmost child (2), the packed items, page number (4), leftmost
//     child (4).
//   tag 2000 ends the replay; any other tag makes the replay fail.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace olbrax::isam {

constexpr int kMaxKeys = 100;
constexpr int kMaxKeyLen = 30;
constexpr int kItemsPerPage = 62;
constexpr int kMinItems = 31;
constexpr int kMaxHeight = 8;
constexpr int kMinRecLen = 21;
constexpr int kMinBuffers = 8;
constexpr int kDataHeaderSize = 21;
constexpr int kIndexHeaderSize = 28;
constexpr int kPageHeadSize = 6;
constexpr int kHeaderEntrySize = 36;
constexpr int kPageEntryExtra = 14;
constexpr std::uint16_t kHeaderTag = 1000;
constexpr std::uint16_t kEndTag = 2000;
constexpr std::int32_t kNoLink = -2;
constexpr std::uint32_t kValidMark = 0x11195851;

constexpr int ItemSize(int key_len) { return key_len + 9; }
constexpr int PageSizeFor(int key_len) { return kPageHeadSize + kItemsPerPage * ItemSize(key_len); }
static_assert(PageSizeFor(10) == 1184 && PageSizeFor(30) == 2424);

inline std::int32_t GetI32(const unsigned char* p) {
  return static_cast<std::int32_t>(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 |
                                   std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24);
}
inline std::uint16_t GetU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
inline void PutI32(unsigned char* p, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  p[0] = static_cast<unsigned char>(u);
  p[1] = static_cast<unsigned char>(u >> 8);
  p[2] = static_cast<unsigned char>(u >> 16);
  p[3] = static_cast<unsigned char>(u >> 24);
}
inline void PutU16(unsigned char* p, std::uint16_t v) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
}

struct DataHeader {
  std::int32_t first_free = -1;
  std::int32_t free_count = 0;
  std::int32_t num_recs = 0;
  std::int32_t rec_len = 0;
  std::int32_t key_count = 0;
  std::uint8_t in_use = 0;

  void Encode(unsigned char* out) const {
    PutI32(out + 0, first_free);
    PutI32(out + 4, free_count);
    PutI32(out + 8, num_recs);
    PutI32(out + 12, rec_len);
    PutI32(out + 16, key_count);
    out[20] = in_use;
  }
  static DataHeader Decode(const unsigned char* in) {
    return {GetI32(in), GetI32(in + 4), GetI32(in + 8), GetI32(in + 12), GetI32(in + 16), in[20]};
  }
};

struct IndexHeader {
  std::int32_t first_free = -1;
  std::int32_t free_count = 0;
  std::int32_t page_count = 0;
  std::int32_t page_size = 0;
  std::int32_t root = 0;
  std::uint8_t dups = 0;
  std::uint8_t reserved = 0;
  std::int32_t key_count = 0;
  std::uint16_t items_per_page = kItemsPerPage;

  void Encode(unsigned char* out) const {
    PutI32(out + 0, first_free);
    PutI32(out + 4, free_count);
    PutI32(out + 8, page_count);
    PutI32(out + 12, page_size);
    PutI32(out + 16, root);
    out[20] = dups;
    out[21] = reserved;
    PutI32(out + 22, key_count);
    PutU16(out + 26, items_per_page);
  }
  static IndexHeader Decode(const unsigned char* in) {
    IndexHeader h;
    h.first_free = GetI32(in);
    h.free_count = GetI32(in + 4);
    h.page_count = GetI32(in + 8);
    h.page_size = GetI32(in + 12);
    h.root = GetI32(in + 16);
    h.dups = in[20];
    h.reserved = in[21];
    h.key_count = GetI32(in + 22);
    h.items_per_page = GetU16(in + 26);
    return h;
  }
  // Items per page as the engine reads it: a stored 0 means 62.
  int ItemsPerPage() const { return items_per_page == 0 ? kItemsPerPage : items_per_page; }
};

// An item of a page in memory: every item in a fixed 39-byte cell whatever the key length.
struct [[gnu::packed]] Cell {
  std::int32_t rec;
  std::int32_t right;  // child page right of this item; in cell 0 of a page, the leftmost child
  std::uint8_t len;
  unsigned char key[kMaxKeyLen];

  std::string_view Key() const { return {reinterpret_cast<const char*>(key), len}; }
  void SetKey(std::string_view k) {
    len = static_cast<std::uint8_t>(k.size());
    std::memcpy(key, k.data(), k.size());
    std::memset(key + k.size(), 0, kMaxKeyLen - k.size());
  }
};
static_assert(sizeof(Cell) == 39);

// Key order: unsigned bytes over the common length, then the shorter key first.
inline int CompareKeys(std::string_view a, std::string_view b) {
  std::size_t n = a.size() < b.size() ? a.size() : b.size();
  if (n > 0) {
    if (int c = std::memcmp(a.data(), b.data(), n); c != 0) return c < 0 ? -1 : 1;
  }
  return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

// A cell is an item of the widest key as it lies on disk (record, right child, length, 30 key
// bytes, little-endian), so on a little-endian machine an item packs with one copy of its first
// key_len + 9 bytes, and a page of 30-character keys with one copy of all its cells. Packing a
// changed page at the end of every call made this copy matter: measured at 16 % of the
// instructions of an insert in a transaction when done field by field.
inline constexpr bool kCellIsItem = std::endian::native == std::endian::little;

// Packs item cells 1..count to their on-disk form at `out` (count * (key_len + 9) bytes).
inline void PackItems(const Cell* cells, int count, int key_len, unsigned char* out) {
  if constexpr (kCellIsItem) {
    if (key_len == kMaxKeyLen) {
      std::memcpy(out, cells + 1, static_cast<std::size_t>(count) * sizeof(Cell));
      return;
    }
    for (int i = 1; i <= count; ++i, out += ItemSize(key_len))
      std::memcpy(out, cells + i, static_cast<std::size_t>(ItemSize(key_len)));
    return;
  }
  for (int i = 1; i <= count; ++i, out += ItemSize(key_len)) {
    const Cell& c = cells[i];
    PutI32(out, c.rec);
    PutI32(out + 4, c.right);
    out[8] = c.len;
    std::memcpy(out + 9, c.key, static_cast<std::size_t>(key_len));
  }
}

// Unpacks `count` items into cells 1..count. False when a key length exceeds `key_len`.
inline bool UnpackItems(const unsigned char* in, int count, int key_len, Cell* cells) {
  if constexpr (kCellIsItem) {
    if (key_len == kMaxKeyLen) {
      std::memcpy(cells + 1, in, static_cast<std::size_t>(count) * sizeof(Cell));
      for (int i = 1; i <= count; ++i)
        if (cells[i].len > key_len) return false;
      return true;
    }
  }
  for (int i = 1; i <= count; ++i, in += ItemSize(key_len)) {
    Cell& c = cells[i];
    c.rec = GetI32(in);
    c.right = GetI32(in + 4);
    c.len = in[8];
    if (c.len > key_len) return false;
    std::memcpy(c.key, in + 9, static_cast<std::size_t>(key_len));
    std::memset(c.key + key_len, 0, static_cast<std::size_t>(kMaxKeyLen - key_len));
  }
  return true;
}

}  // namespace olbrax::isam
