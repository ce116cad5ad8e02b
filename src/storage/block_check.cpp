#include "storage/block_check.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <set>

#include "storage/disk_file.h"
#include "storage/file_names.h"
#include "storage/header_bounds.h"
#include "storage/journal_scan.h"
#include "storage/layout.h"

namespace olbrax::isam {

namespace {

struct RawIndex {
  IndexHeader h;
  int key_len = 0;
  std::int64_t slot = 0;
};

struct RawPage {
  int count = 0;
  std::int32_t leftmost = 0;
  std::vector<Cell> items;  // items[0] unused
};

std::string OpenFault(const char* file, int win_error) {
  switch (win_error) {
    case disk::kErrFileNotFound: case disk::kErrPathNotFound: return std::string(file) + " file missing";
    case disk::kErrSharingViolation: return "in use by another program";
    default: return std::string(file) + " file cannot be opened (error " + std::to_string(win_error) + ")";
  }
}

// The files of a block opened read-only, with their headers decoded.
class RawBlock {
 public:
  // An empty text when the block could be opened, else why not.
  std::string Open(std::string_view name) {
    names_ = SplitBlockName(name);
    if (int e = disk::Open(names_.data, false, data_); e != 0) return OpenFault("data", e);
    unsigned char raw[kDataHeaderSize];
    std::size_t got = 0;
    if (disk::Read(data_, 0, raw, sizeof raw, got) != 0 || got != sizeof raw)
      return "data header cannot be read";
    dh_ = DataHeader::Decode(raw);
    if (dh_.key_count < 0 || dh_.key_count > kMaxKeys)
      return "data header: key count " + std::to_string(dh_.key_count);
    if (dh_.key_count == 0) return {};
    if (int e = disk::Open(names_.index, false, index_file_); e != 0) return OpenFault("index", e);
    std::int64_t at = 0;
    for (int k = 1; k <= dh_.key_count; ++k) {
      unsigned char ih[kIndexHeaderSize];
      if (disk::Read(index_file_, at, ih, sizeof ih, got) != 0 || got != sizeof ih)
        return "index " + std::to_string(k) + ": header cannot be read";
      RawIndex ri;
      ri.h = IndexHeader::Decode(ih);
      ri.slot = at;
      int items = ri.h.ItemsPerPage();
      ri.key_len = items > 0 ? (ri.h.page_size - kPageHeadSize) / items - 9 : 0;
      if (items != kItemsPerPage || ri.key_len < 1 || ri.key_len > kMaxKeyLen ||
          ri.h.page_size != PageSizeFor(ri.key_len))
        return "index " + std::to_string(k) + ": page size " + std::to_string(ri.h.page_size) +
               " does not fit its key length";
      at += ri.h.page_size;
      idx_.push_back(ri);
    }
    row_size_ = at;
    return {};
  }

  const DataHeader& Data() const { return dh_; }
  const RawIndex& Index(int k) const { return idx_[static_cast<std::size_t>(k - 1)]; }
  disk::File& DataFile() { return data_; }
  const BlockNames& Names() const { return names_; }

  // Empty when every header's counts fit its file (header_bounds.h), else the first that does
  // not; nothing a header says is followed before this.
  std::string HeaderFault() const {
    if (std::string e = DataHeaderFault(dh_, data_.Size()); !e.empty()) return "data header: " + e;
    for (int k = 1; k <= dh_.key_count; ++k) {
      const RawIndex& ri = Index(k);
      std::int64_t held = PagesInFile(index_file_.Size(), row_size_, ri.slot);
      if (std::string e = IndexHeaderFault(ri.h, held); !e.empty()) return "index " + std::to_string(k) + " header: " + e;
    }
    return {};
  }
  // The block as its journal's replay sees it.
  JournalShape Shape() const {
    JournalShape s;
    s.data = dh_;
    s.data_size = data_.Size();
    s.index_size = index_file_.IsOpen() ? index_file_.Size() : 0;
    s.row_size = row_size_;
    for (const RawIndex& ri : idx_) s.index.push_back({ri.key_len, ri.slot, ri.h});
    return s;
  }

  bool ReadInt(disk::File& f, std::int64_t at, std::int32_t& v) {
    unsigned char raw[4];
    std::size_t got = 0;
    if (disk::Read(f, at, raw, 4, got) != 0 || got != 4) return false;
    v = GetI32(raw);
    return true;
  }
  bool RecordLink(std::int32_t rec, std::int32_t& v) {
    return ReadInt(data_, static_cast<std::int64_t>(rec) * dh_.rec_len, v);
  }
  std::int64_t PageOffset(int k, std::int32_t page) const {
    return static_cast<std::int64_t>(page) * row_size_ + Index(k).slot;
  }
  bool PageLink(int k, std::int32_t page, std::int32_t& v) {
    return ReadInt(index_file_, PageOffset(k, page), v);
  }
  // Reads a page; an empty text when it is readable and well-formed.
  std::string ReadPage(int k, std::int32_t page, RawPage& out) {
    const RawIndex& ri = Index(k);
    std::vector<unsigned char> raw(static_cast<std::size_t>(ri.h.page_size));
    std::size_t got = 0;
    if (disk::Read(index_file_, PageOffset(k, page), raw.data(), raw.size(), got) != 0 ||
        got < kPageHeadSize)
      return "cannot be read";
    out.count = GetU16(raw.data());
    out.leftmost = GetI32(raw.data() + 2);
    if (out.count > kItemsPerPage) return "item count " + std::to_string(out.count);
    if (got < static_cast<std::size_t>(kPageHeadSize + out.count * ItemSize(ri.key_len)))
      return "cut short by the end of the file";
    out.items.assign(static_cast<std::size_t>(out.count) + 1, Cell{});
    if (!UnpackItems(raw.data() + kPageHeadSize, out.count, ri.key_len, out.items.data()))
      return "a key longer than the index's key length";
    return {};
  }

 private:
  BlockNames names_;
  disk::File data_;
  disk::File index_file_;
  DataHeader dh_;
  std::vector<RawIndex> idx_;
  std::int64_t row_size_ = 0;
};

std::string Printable(std::string_view key) {
  std::string out;
  for (unsigned char c : key) {
    if (c < 32 || c == 127) {
      static const char* hex = "0123456789ABCDEF";
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += Utf8FromWin(std::string_view(reinterpret_cast<const char*>(&c), 1));
    }
  }
  return out;
}

// Walks a free chain from `first`; an empty text when it is in range, without a cycle, and of
// the counted length.
std::string WalkChain(std::int32_t first, std::int32_t count, std::int32_t highest,
                      const std::function<bool(std::int32_t, std::int32_t&)>& link,
                      std::set<std::int32_t>* members = nullptr) {
  std::set<std::int32_t> seen;
  std::int32_t at = first;
  while (at != -1) {
    if (at < 1 || at > highest) return "free chain: element " + std::to_string(at) + " out of range";
    if (!seen.insert(at).second) return "free chain: cycle at " + std::to_string(at);
    if (static_cast<std::int32_t>(seen.size()) > count)
      return "free chain: longer than its count " + std::to_string(count);
    std::int32_t next;
    if (!link(at, next)) return "free chain: element " + std::to_string(at) + " cannot be read";
    at = next;
  }
  if (static_cast<std::int32_t>(seen.size()) != count)
    return "free chain: " + std::to_string(seen.size()) + " elements, counted " + std::to_string(count);
  if (members) *members = std::move(seen);
  return {};
}

int CompareEntries(const RawIndex& ri, const Cell& a, const Cell& b) {
  int r = CompareKeys(a.Key(), b.Key());
  if (r == 0 && ri.h.dups) r = a.rec < b.rec ? -1 : (a.rec > b.rec ? 1 : 0);
  return r;
}

struct TreeWalk {
  RawBlock& block;
  int k;
  const RawIndex& ri;
  std::set<std::int32_t> visited;
  std::int64_t entries = 0;
  int leaf_depth = -1;
  std::string fault;

  bool Fault(std::int32_t page, int item, const std::string& what) {
    fault = "index " + std::to_string(k) + " page " + std::to_string(page);
    if (item > 0) fault += " item " + std::to_string(item);
    fault += ": " + what;
    return false;
  }

  // Checks the subtree at `page`, all of whose entries must lie strictly between lo and hi.
  bool Walk(std::int32_t page, int depth, const Cell* lo, const Cell* hi) {
    if (page < 1 || page > ri.h.page_count) return Fault(page, 0, "page number out of range");
    if (depth >= kMaxHeight) return Fault(page, 0, "tree deeper than 8 levels");
    if (!visited.insert(page).second) return Fault(page, 0, "page reached twice");
    RawPage p;
    if (std::string e = block.ReadPage(k, page, p); !e.empty()) return Fault(page, 0, e);
    bool root = depth == 0;
    if (p.count < (root ? 1 : kMinItems))
      return Fault(page, 0, "only " + std::to_string(p.count) + " items");
    for (int i = 1; i <= p.count; ++i) {
      const Cell& c = p.items[static_cast<std::size_t>(i)];
      const Cell* prev = i > 1 ? &p.items[static_cast<std::size_t>(i - 1)] : lo;
      if (prev && CompareEntries(ri, *prev, c) >= 0) return Fault(page, i, "keys out of order");
      if (hi && CompareEntries(ri, c, *hi) >= 0) return Fault(page, i, "keys out of order");
      if (c.rec < 1) return Fault(page, i, "record number " + std::to_string(c.rec));
    }
    entries += p.count;
    bool leaf = p.leftmost == 0;
    for (int i = 1; i <= p.count; ++i)
      if ((p.items[static_cast<std::size_t>(i)].right == 0) != leaf)
        return Fault(page, i, "a leaf and inner page at once");
    if (leaf) {
      if (leaf_depth == -1) leaf_depth = depth;
      if (leaf_depth != depth) return Fault(page, 0, "leaves at different depths");
      return true;
    }
    for (int i = 0; i <= p.count; ++i) {
      const Cell* clo = i == 0 ? lo : &p.items[static_cast<std::size_t>(i)];
      const Cell* chi = i == p.count ? hi : &p.items[static_cast<std::size_t>(i + 1)];
      std::int32_t child = i == 0 ? p.leftmost : p.items[static_cast<std::size_t>(i)].right;
      if (!Walk(child, depth + 1, clo, chi)) return false;
    }
    return true;
  }
};

std::string CheckIndex(RawBlock& block, int k) {
  const RawIndex& ri = block.Index(k);
  std::string where = "index " + std::to_string(k) + ": ";
  const IndexHeader& h = ri.h;
  if (h.page_count < 0) return where + "page count " + std::to_string(h.page_count);
  if (h.root < 0 || h.root > h.page_count) return where + "root page " + std::to_string(h.root) + " out of range";
  std::set<std::int32_t> free_pages;
  std::string e = WalkChain(h.first_free, h.free_count, h.page_count,
                            [&](std::int32_t p, std::int32_t& next) { return block.PageLink(k, p, next); },
                            &free_pages);
  if (!e.empty()) return where + e;
  TreeWalk walk{block, k, ri, {}, 0, -1, {}};
  if (h.root != 0 && !walk.Walk(h.root, 0, nullptr, nullptr)) return walk.fault;
  if (walk.entries != h.key_count)
    return where + std::to_string(walk.entries) + " entries in the tree, counted " + std::to_string(h.key_count);
  for (std::int32_t p : free_pages)
    if (walk.visited.count(p)) return where + "page " + std::to_string(p) + " both in the tree and free";
  if (static_cast<std::int64_t>(walk.visited.size() + free_pages.size()) != h.page_count)
    return where + std::to_string(h.page_count - static_cast<std::int64_t>(walk.visited.size() + free_pages.size())) +
           " pages neither in the tree nor free";
  return {};
}

// Empty when the journal holds no change; otherwise whether the repair at the next open will
// roll the change back or refuse the journal, by the same reading the repair makes.
std::string CheckJournal(const RawBlock& block) {
  const BlockNames& names = block.Names();
  if (!disk::Exists(names.journal)) return {};
  disk::File j;
  if (int e = disk::Open(names.journal, false, j); e != 0)
    return e == disk::kErrSharingViolation ? "in use by another program" : "journal cannot be opened";
  if (j.Size() <= 1) return {};
  unsigned char tag[2];
  std::size_t got = 0;
  if (disk::Read(j, 1, tag, 2, got) == 0 && got == 2 && GetU16(tag) == kEndTag) return {};
  JournalScan scan = ScanJournal(block.Shape(), [&j](std::int64_t at, void* out, std::size_t len, std::size_t& n) {
    return disk::Read(j, at, out, len, n) == 0;
  });
  std::string size = std::to_string(j.Size()) + " bytes";
  if (scan.read_failed) return "journal (" + size + ") cannot be read: the repair at the next open will fail";
  if (!scan.fault.empty())
    return "journal damaged (" + size + "): " + scan.fault + "; the repair refuses it, so the block cannot be opened";
  return "journal not empty (" + size + "): an interrupted change, repaired at the next open";
}

}  // namespace

CheckResult CheckBlock(std::string_view name) {
  RawBlock block;
  if (std::string e = block.Open(name); !e.empty()) return {false, e};
  const DataHeader& d = block.Data();
  if (d.rec_len < kMinRecLen) return {false, "data header: record length " + std::to_string(d.rec_len)};
  // An interrupted change first: until the repair has run, the headers may be those of the
  // change, not yet fitting the files.
  if (std::string e = CheckJournal(block); !e.empty()) return {false, e};
  if (d.in_use != 0) return {false, "data header: in-use mark set (not closed properly)"};
  if (std::string e = block.HeaderFault(); !e.empty()) return {false, e};
  std::string e = WalkChain(d.first_free, d.free_count, d.num_recs,
                            [&](std::int32_t r, std::int32_t& next) { return block.RecordLink(r, next); });
  if (!e.empty()) return {false, "data " + e};
  for (int k = 1; k <= d.key_count; ++k)
    if (e = CheckIndex(block, k); !e.empty()) return {false, e};
  return {true, "ok"};
}

namespace {

// The elements of a free chain as far as they can be followed: in range, each once.
std::string ChainText(std::int32_t first, std::int32_t highest, const std::function<bool(std::int32_t, std::int32_t&)>& link) {
  std::string out;
  std::set<std::int32_t> seen;
  for (std::int32_t at = first; at != -1;) {
    out += " " + std::to_string(at);
    if (at < 1 || at > highest || !seen.insert(at).second || !link(at, at)) break;
  }
  return out;
}

// Visits the entries of index k in key order; false when a page is out of range, cannot be
// read or is reached twice (a damaged tree is never walked round in circles).
bool WalkKeys(RawBlock& block, int k, const std::function<void(const Cell&)>& entry,
              const std::function<void(const std::string&)>& fault) {
  std::set<std::int32_t> visited;
  std::function<bool(std::int32_t, int)> walk = [&](std::int32_t page, int depth) {
    RawPage rp;
    if (depth > kMaxHeight || page < 1 || page > block.Index(k).h.page_count || !visited.insert(page).second) {
      fault("page " + std::to_string(page) + " out of range or reached twice");
      return false;
    }
    if (std::string e = block.ReadPage(k, page, rp); !e.empty()) {
      fault("page " + std::to_string(page) + ": " + e);
      return false;
    }
    if (rp.leftmost != 0 && !walk(rp.leftmost, depth + 1)) return false;
    for (int i = 1; i <= rp.count; ++i) {
      const Cell& c = rp.items[static_cast<std::size_t>(i)];
      entry(c);
      if (c.right != 0 && !walk(c.right, depth + 1)) return false;
    }
    return true;
  };
  return block.Index(k).h.root == 0 || walk(block.Index(k).h.root, 0);
}

}  // namespace

bool DumpBlock(std::string_view name, int index, std::string& out, std::string& error) {
  RawBlock block;
  if (error = block.Open(name); !error.empty()) return false;
  const DataHeader& d = block.Data();
  auto line = [&](const std::string& s) { out += s + "\n"; };
  line("data " + Utf8FromWin(block.Names().data) + ": record length " + std::to_string(d.rec_len) +
       ", records " + std::to_string(d.num_recs) + ", first free " + std::to_string(d.first_free) +
       ", free " + std::to_string(d.free_count) + ", indexes " + std::to_string(d.key_count) +
       ", in use " + std::to_string(d.in_use));
  // A header that does not fit its file is shown, and its numbers are not followed.
  std::string fault = block.HeaderFault();
  if (!fault.empty()) line("  " + fault);
  if (fault.empty())
    line("  free records:" + ChainText(d.first_free, d.num_recs,
                                       [&](std::int32_t r, std::int32_t& next) { return block.RecordLink(r, next); }));
  for (int k = 1; k <= d.key_count; ++k) {
    const IndexHeader& h = block.Index(k).h;
    line("index " + std::to_string(k) + ": key length " + std::to_string(block.Index(k).key_len) +
         (h.dups ? ", duplicates" : ", unique") + ", page size " + std::to_string(h.page_size) +
         ", pages " + std::to_string(h.page_count) + ", root " + std::to_string(h.root) +
         ", keys " + std::to_string(h.key_count) + ", first free " + std::to_string(h.first_free) +
         ", free " + std::to_string(h.free_count));
    if (fault.empty())
      line("  free pages:" + ChainText(h.first_free, h.page_count,
                                       [&](std::int32_t p, std::int32_t& next) { return block.PageLink(k, p, next); }));
  }
  if (index < 1) return true;
  if (index > d.key_count) {
    error = "no index " + std::to_string(index) + " (the block has " + std::to_string(d.key_count) + ")";
    return false;
  }
  if (!fault.empty()) {
    error = fault;
    return false;
  }
  // A page that cannot be read is reported in place.
  WalkKeys(
      block, index, [&](const Cell& c) { line("  " + std::to_string(c.rec) + "\t\"" + Printable(c.Key()) + "\""); },
      [&](const std::string& e) { line("  <" + e + ">"); });
  return true;
}

bool ReadBlockContents(std::string_view name, BlockContents& out, std::string& error) {
  RawBlock block;
  if (error = block.Open(name); !error.empty()) return false;
  // The data file is read whole: only as much as its header says, once that is known to fit.
  if (error = block.HeaderFault(); !error.empty()) return false;
  const DataHeader& d = block.Data();
  out.rec_len = d.rec_len;
  out.data.resize(static_cast<std::size_t>(d.num_recs + std::int64_t{1}) * static_cast<std::size_t>(d.rec_len));
  std::size_t got = 0;
  if (disk::Read(block.DataFile(), 0, out.data.data(), out.data.size(), got) != 0 || got != out.data.size()) {
    error = "data file cannot be read";
    return false;
  }
  std::set<std::int32_t> free;
  std::string e = WalkChain(d.first_free, d.free_count, d.num_recs,
                            [&](std::int32_t r, std::int32_t& next) { return block.RecordLink(r, next); }, &free);
  if (!e.empty()) {
    error = "data " + e;
    return false;
  }
  out.live.clear();
  for (std::int32_t r = 1; r <= d.num_recs; ++r)
    if (!free.count(r)) out.live.push_back(r);
  out.keys.assign(static_cast<std::size_t>(d.key_count), {});
  for (int k = 1; k <= d.key_count; ++k) {
    auto& list = out.keys[static_cast<std::size_t>(k - 1)];
    if (!WalkKeys(
            block, k, [&](const Cell& c) { list.emplace_back(Text(c.Key()), c.rec); }, [](const std::string&) {})) {
      error = "index " + std::to_string(k) + " cannot be read";
      return false;
    }
  }
  return true;
}

std::vector<Text> BlocksInFolder(std::string_view folder) {
  std::vector<Text> names, blocks;
  if (!disk::ListFolder(folder, names)) return blocks;
  Text base(folder);
  if (!base.empty() && base.back() != '/') base += '/';
  for (const Text& n : names) {
    if (n.size() > 4 && UpStr(n.substr(n.size() - 4)) == ".DAT") blocks.push_back(base + n.substr(0, n.size() - 4));
  }
  return blocks;
}

}  // namespace olbrax::isam
