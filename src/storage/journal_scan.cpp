#include "storage/journal_scan.h"

#include <algorithm>

#include "storage/file_block.h"
#include "storage/header_bounds.h"

namespace olbrax::isam {

JournalShape ShapeOf(const FileBlock* fb) {
  JournalShape s;
  s.data = fb->data.h;
  s.data_size = fb->data_file.Size();
  s.index_size = fb->index_file.IsOpen() ? fb->index_file.Size() : 0;
  s.row_size = fb->row_size;
  for (int k = 1; k <= fb->key_count; ++k)
    s.index.push_back({fb->index[k].key_len, fb->index[k].slot_offset, fb->index[k].h});
  return s;
}

bool PlausibleHeaderEntry(const JournalShape& shape, int part, const unsigned char* image, std::int32_t link) {
  if (link == 0 || link < kNoLink) return false;
  if (part == 0) return DataHeader::Decode(image).rec_len == shape.data.rec_len;
  return IndexHeader::Decode(image).page_size == shape.index[static_cast<std::size_t>(part - 1)].h.page_size;
}

bool PlausiblePageEntry(const unsigned char* items, int count, int key_len, std::int32_t page) {
  if (page < 1) return false;
  for (int i = 0; i < count; ++i, items += ItemSize(key_len))
    if (GetI32(items) < 1 || items[8] > key_len) return false;
  return true;
}

namespace {

struct Page {
  int k;
  std::int32_t page;
};
struct Relink {
  int part;
  std::int32_t element;
  std::int32_t link;
};

}  // namespace

JournalScan ScanJournal(const JournalShape& shape, const JournalReader& read) {
  JournalScan scan;
  const int keys = static_cast<int>(shape.index.size());
  // Per part: the header the replay ends with, and the highest count any header gives it.
  DataHeader final_data = shape.data;
  std::vector<IndexHeader> final_index;
  std::vector<std::int64_t> highest(static_cast<std::size_t>(keys) + 1);
  highest[0] = shape.data.num_recs;
  for (int k = 1; k <= keys; ++k) {
    final_index.push_back(shape.index[static_cast<std::size_t>(k - 1)].h);
    highest[static_cast<std::size_t>(k)] = final_index.back().page_count;
  }
  std::vector<Page> pages;
  std::vector<Relink> relinks;

  auto take = [&](std::int64_t at, std::size_t len, unsigned char* out) {
    std::size_t got = 0;
    if (!read(at, out, len, got)) {
      scan.read_failed = true;
      return false;
    }
    return got == len;
  };
  std::vector<unsigned char> buf(static_cast<std::size_t>(kPageEntryExtra + kItemsPerPage * ItemSize(kMaxKeyLen)));
  std::int64_t at = 1;
  for (;;) {
    unsigned char tag_bytes[2];
    if (!take(at, 2, tag_bytes)) break;
    std::uint16_t tag = GetU16(tag_bytes);
    if (tag == kEndTag || tag == 0) break;
    if (tag == kHeaderTag) {
      if (!take(at, kHeaderEntrySize, buf.data())) break;
      int part = GetU16(buf.data() + 2);
      if (part > keys) {
        scan.fault = "journal entry at byte " + std::to_string(at) + " names index " + std::to_string(part) +
                     " of a block with " + std::to_string(keys);
        break;
      }
      const unsigned char* image = buf.data() + 4;
      std::int32_t link = GetI32(buf.data() + 32);
      if (!PlausibleHeaderEntry(shape, part, image, link)) break;
      std::int32_t element = GetI32(image);  // the first free element of the image
      if (link != kNoLink) {
        if (element < 1) {
          scan.fault = "journal entry at byte " + std::to_string(at) + " puts back free element " +
                       std::to_string(element);
          break;
        }
        relinks.push_back({part, element, link});
      }
      std::int64_t count;
      if (part == 0) {
        final_data = DataHeader::Decode(image);
        count = final_data.num_recs;
      } else {
        final_index[static_cast<std::size_t>(part - 1)] = IndexHeader::Decode(image);
        count = final_index[static_cast<std::size_t>(part - 1)].page_count;
      }
      highest[static_cast<std::size_t>(part)] = std::max(highest[static_cast<std::size_t>(part)], count);
      at += kHeaderEntrySize;
    } else if (tag <= kItemsPerPage) {
      if (!take(at, 6, buf.data())) break;
      int k = GetU16(buf.data() + 2);
      if (k < 1 || k > keys) {
        scan.fault = "journal entry at byte " + std::to_string(at) + " names index " + std::to_string(k) +
                     " of a block with " + std::to_string(keys);
        break;
      }
      int key_len = shape.index[static_cast<std::size_t>(k - 1)].key_len;
      std::size_t len = static_cast<std::size_t>(tag * ItemSize(key_len) + kPageEntryExtra);
      if (!take(at, len, buf.data())) break;
      std::int32_t page = GetI32(buf.data() + 6 + tag * ItemSize(key_len));
      if (!PlausiblePageEntry(buf.data() + 6, tag, key_len, page)) break;
      pages.push_back({k, page});
      at += static_cast<std::int64_t>(len);
    } else {
      scan.fault = "journal entry at byte " + std::to_string(at) + " has the unknown tag " + std::to_string(tag);
      break;
    }
    ++scan.entries;
  }
  scan.end = at;
  if (!scan.Replayable()) return scan;

  auto refuse = [&](std::string why) {
    scan.fault = std::move(why);
    return scan;
  };
  // Rule 2: elements no header of their part counts.
  for (const Page& p : pages) {
    std::int64_t most = highest[static_cast<std::size_t>(p.k)];
    if (p.page > most)
      return refuse("journal entry for page " + std::to_string(p.page) + " of index " + std::to_string(p.k) +
                    ", which has at most " + std::to_string(most) + " pages");
  }
  for (const Relink& r : relinks) {
    std::int64_t most = highest[static_cast<std::size_t>(r.part)];
    if (r.element > most || r.link > most)
      return refuse(std::string("journal entry puts back free ") + (r.part == 0 ? "record " : "page ") +
                    std::to_string(r.element) + " linked to " + std::to_string(r.link) + ", beyond " +
                    std::to_string(most));
  }
  // Rule 4: the headers the replay leaves.
  if (std::string e = DataHeaderFault(final_data, shape.data_size); !e.empty())
    return refuse("after the repair the data header would give " + e);
  for (int k = 1; k <= keys; ++k) {
    const JournalShape::Index& ix = shape.index[static_cast<std::size_t>(k - 1)];
    std::int64_t held = PagesInFile(shape.index_size, shape.row_size, ix.slot_offset);
    if (std::string e = IndexHeaderFault(final_index[static_cast<std::size_t>(k - 1)], held); !e.empty())
      return refuse("after the repair index " + std::to_string(k) + " would give " + e);
  }
  return scan;
}

}  // namespace olbrax::isam
