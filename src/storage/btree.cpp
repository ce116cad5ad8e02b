// The key operations on one index: search, ordered walk, insertion with redistribution and
// splitting, deletion with borrowing and merging.
#include <algorithm>
#include <vector>

#include "storage/engine.h"
#include "storage/isam.h"

namespace olbrax::isam {

namespace {

int Compare(const IndexPart& ip, std::string_view key, std::int32_t rec, const Cell& c) {
  int r = CompareKeys(key, c.Key());
  if (r == 0 && ip.dups()) {
    std::int64_t d = static_cast<std::int64_t>(rec) - c.rec;
    r = d < 0 ? -1 : (d > 0 ? 1 : 0);
  }
  return r;
}

// The child of a page left of item i + 1: the leftmost child for i = 0.
std::int32_t Child(const PageBuf& b, int i) { return b.cell[i].right; }

// Descends from the root towards (key, rec), recording every level in `path` (the bottom entry
// holds the matching item or the greatest item smaller than the key on that page, 0 when none).
// Returns true when the entry was found; `ok` false when a page could not be read.
bool Descend(FileBlock* fb, int k, std::string_view key, std::int32_t rec, Path& path, bool& ok) {
  IndexPart& ip = fb->index[k];
  path.depth = 0;
  ok = true;
  std::int32_t page = ip.h.root;
  while (page != 0) {
    if (path.depth >= kMaxHeight) return ok = Corrupt(), false;
    PageRef b = FetchPage(fb, k, page);
    if (!b) return ok = false, false;
    if (b->count == 0) return ok = Corrupt(), false;
    int lo = 1, hi = b->count, mid = 0;
    do {
      mid = (lo + hi) / 2;
      int r = Compare(ip, key, rec, b->cell[mid]);
      if (r <= 0) hi = mid - 1;
      if (r >= 0) lo = mid + 1;
    } while (hi >= lo);
    PathEntry& e = path.at[path.depth++];
    e.page = page;
    if (lo - hi >= 2) {
      e.idx = mid;
      return true;
    }
    e.idx = hi;
    page = Child(*b, hi);
  }
  return false;
}

// Searches and leaves the position at the entry, or where the entry would be.
bool Search(FileBlock* fb, int k, std::string_view key, std::int32_t rec, bool& ok) {
  IndexPart& ip = fb->index[k];
  bool found = Descend(fb, k, key, rec, ip.pos, ok);
  if (!found)
    while (ip.pos.depth > 0 && ip.pos.at[ip.pos.depth - 1].idx == 0) --ip.pos.depth;
  ip.pos_valid = ok;
  ip.research_allowed = ok;
  return found;
}

// From the position to the leftmost leaf below `page`.
bool DescendLeftmost(FileBlock* fb, int k, std::int32_t page, Path& path) {
  while (true) {
    if (path.depth >= kMaxHeight) return Corrupt();
    PageRef b = FetchPage(fb, k, page);
    if (!b) return false;
    if (b->count == 0) return Corrupt();
    path.at[path.depth++] = {page, 0};
    if (b->IsLeaf()) {
      path.at[path.depth - 1].idx = 1;
      return true;
    }
    page = Child(*b, 0);
  }
}

// Moves the position to the next entry. False with status 10250 at the end (the position is
// then before the first entry), or with the status of a failed read.
bool Advance(FileBlock* fb, int k, std::int32_t& recno, Text& key) {
  IndexPart& ip = fb->index[k];
  Path& p = ip.pos;
  bool moved = false;
  if (p.depth == 0) {
    if (ip.h.root == 0) {
      ip.pos_valid = true;
      ip.research_allowed = false;
      return Corrupt(kNextNotFound);
    }
    if (!DescendLeftmost(fb, k, ip.h.root, p)) return p.depth = 0, false;
    moved = true;
  } else {
    PathEntry& cur = p.at[p.depth - 1];
    PageRef b = FetchPage(fb, k, cur.page);
    if (!b) return false;
    std::int32_t child = Child(*b, cur.idx);
    if (child != 0) {
      if (!DescendLeftmost(fb, k, child, p)) return p.depth = 0, false;
      moved = true;
    } else if (cur.idx < b->count) {
      // The common step of an ordered walk: the next item of the same leaf.
      ++cur.idx;
      ip.pos_valid = true;
      ip.research_allowed = true;
      recno = b->cell[cur.idx].rec;
      key.assign(b->cell[cur.idx].Key());
      return true;
    } else {
      --p.depth;
      while (p.depth > 0) {
        PathEntry& up = p.at[p.depth - 1];
        PageRef ub = FetchPage(fb, k, up.page);
        if (!ub) return false;
        if (up.idx < ub->count) {
          ++up.idx;
          moved = true;
          break;
        }
        --p.depth;
      }
    }
  }
  ip.pos_valid = true;
  if (!moved) {
    ip.research_allowed = false;
    return Corrupt(kNextNotFound);
  }
  ip.research_allowed = true;
  const PathEntry& at = p.at[p.depth - 1];
  PageRef b = FetchPage(fb, k, at.page);
  if (!b) return false;
  recno = b->cell[at.idx].rec;
  key.assign(b->cell[at.idx].Key());
  return true;
}

std::string_view Cut(std::string_view key) { return key.substr(0, std::min<std::size_t>(key.size(), kMaxKeyLen)); }

// Ends a key operation that stopped early: an I/O failure is repaired, a refusal keeps its status.
void Stop() {
  if (IsamDosError != 0) FailCall();
  else AbandonCall();
}

void InsertCell(PageBuf& b, int at, const Cell& c) {
  for (int i = b.count; i >= at; --i) b.cell[i + 1] = b.cell[i];
  b.cell[at] = c;
  ++b.count;
}

void RemoveCell(PageBuf& b, int at) {
  for (int i = at; i < b.count; ++i) b.cell[i] = b.cell[i + 1];
  --b.count;
}

// Re-divides the items of two neighbouring pages and their separator (item `sidx` of the
// parent) so that the left page keeps `left_count` items.
void Redistribute(PageBuf& a, PageBuf& b, PageBuf& parent, int sidx, int left_count) {
  Cell seq[2 * kItemsPerPage + 2];
  int n = 0;
  for (int i = 1; i <= a.count; ++i) seq[n++] = a.cell[i];
  Cell sep = parent.cell[sidx];
  sep.right = b.cell[0].right;
  seq[n++] = sep;
  for (int i = 1; i <= b.count; ++i) seq[n++] = b.cell[i];
  int total = n - 1;
  for (int i = 0; i < left_count; ++i) a.cell[i + 1] = seq[static_cast<std::size_t>(i)];
  a.count = static_cast<std::uint16_t>(left_count);
  const Cell& up = seq[static_cast<std::size_t>(left_count)];
  parent.cell[sidx].rec = up.rec;
  parent.cell[sidx].len = up.len;
  std::copy(std::begin(up.key), std::end(up.key), parent.cell[sidx].key);
  b.cell[0].right = up.right;
  int right_count = total - left_count;
  for (int i = 0; i < right_count; ++i)
    b.cell[i + 1] = seq[static_cast<std::size_t>(left_count + 1 + i)];
  b.count = static_cast<std::uint16_t>(right_count);
}

// Splits an overfull page (63 items): the lower 31 stay, the 32nd is returned to move up with
// the new page as its right child, the upper 31 go to the new page.
bool Split(FileBlock* fb, int k, PageBuf& p, Cell& up) {
  PageRef n = NewPage(fb, k);
  if (!n) return false;
  up = p.cell[kMinItems + 1];
  n->cell[0].right = up.right;
  for (int i = 1; i <= kMinItems; ++i) n->cell[i] = p.cell[kMinItems + 1 + i];
  n->count = kMinItems;
  p.count = kMinItems;
  up.right = n->page;
  return true;
}

}  // namespace

void ClearKey(FileBlock* fb, int k) {
  if (!Enter(fb, false, k)) return;
  IndexPart& ip = fb->index[k];
  ip.pos.depth = 0;
  ip.pos_valid = true;
  ip.research_allowed = false;
}

void FindKey(FileBlock* fb, int k, std::int32_t& recno, std::string_view key) {
  if (!Enter(fb, false, k)) return;
  key = Cut(key);
  IndexPart& ip = fb->index[k];
  bool ok;
  if (Search(fb, k, key, 0, ok)) {
    const PathEntry& at = ip.pos.at[ip.pos.depth - 1];
    PageRef b = FetchPage(fb, k, at.page);
    if (b) recno = b->cell[at.idx].rec;
    return;
  }
  if (!ok) return;
  if (ip.dups()) {
    // The first entry of the key, if any, is the next one after where (key, 0) would be.
    Path before = ip.pos;
    std::int32_t rec = 0;
    Text found;
    if (Advance(fb, k, rec, found) && CompareKeys(found, key) == 0) {
      recno = rec;
      return;
    }
    if (IsamError != kNextNotFound && IsamError != 0) return;
    ip.pos = before;
    ip.pos_valid = true;
    ip.research_allowed = true;
    ResetStatus();
  }
  Corrupt(kFindNotFound);
}

void SearchKey(FileBlock* fb, int k, std::int32_t& recno, Text& key) {
  if (!Enter(fb, false, k)) return;
  Text wanted(Cut(key));
  IndexPart& ip = fb->index[k];
  bool ok;
  if (Search(fb, k, wanted, 0, ok)) {
    const PathEntry& at = ip.pos.at[ip.pos.depth - 1];
    PageRef b = FetchPage(fb, k, at.page);
    if (!b) return;
    recno = b->cell[at.idx].rec;
    key.assign(b->cell[at.idx].Key());
    return;
  }
  if (!ok) return;
  if (!Advance(fb, k, recno, key) && IsamError == kNextNotFound) Corrupt(kSearchNotFound);
}

void NextKey(FileBlock* fb, int k, std::int32_t& recno, Text& key) {
  if (!Enter(fb, false, k)) return;
  IndexPart& ip = fb->index[k];
  if (!ip.pos_valid) {
    if (!ip.research_allowed) return void(Corrupt(kNextNotAllowed));
    // The index changed since the position was taken: find the caller's entry again, or the
    // place where it was.
    Text at(Cut(key));
    bool ok;
    Search(fb, k, at, recno, ok);
    if (!ok) return;
  }
  Advance(fb, k, recno, key);
}

void AddKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key) {
  if (!Enter(fb, true, k)) return;
  key = Cut(key);
  IndexPart& ip = fb->index[k];
  if (static_cast<int>(key.size()) > ip.key_len) return void(Corrupt(kKeyTooLong));
  if (!MarkInUse(fb)) return;
  InvalidatePosition(fb, k);
  if (!BeginCall(fb, kAddKeyRepaired)) return;
  NoteHeader(k);

  Path path;
  bool ok;
  if (Descend(fb, k, key, recno, path, ok)) return AbandonCall(), void(Corrupt(kKeyExists));
  if (!ok) return Stop();

  Cell item{};
  item.rec = recno;
  item.right = 0;
  item.SetKey(key);

  if (ip.h.root == 0) {
    PageRef root = NewPage(fb, k);
    if (!root) return Stop();
    InsertCell(*root, 1, item);
    ip.h.root = root->page;
  } else {
    int level = path.depth - 1;
    PageRef p = FetchPage(fb, k, path.at[level].page);
    if (!p) return Stop();
    MarkDirty(*p);
    InsertCell(*p, path.at[level].idx + 1, item);
    while (p->count > kItemsPerPage) {
      if (level == 0) {
        // The root splits: a new root holds the item that moved up.
        Cell up;
        if (!Split(fb, k, *p, up)) return Stop();
        PageRef root = NewPage(fb, k);
        if (!root) return Stop();
        root->cell[0].right = p->page;
        InsertCell(*root, 1, up);
        ip.h.root = root->page;
        break;
      }
      PageRef parent = FetchPage(fb, k, path.at[level - 1].page);
      if (!parent) return Stop();
      int j = path.at[level - 1].idx;
      bool right = j < parent->count;
      PageRef sib = FetchPage(fb, k, Child(*parent, right ? j + 1 : j - 1));
      if (!sib) return Stop();
      if (sib->count < kItemsPerPage) {
        MarkDirty(*parent);
        MarkDirty(*sib);
        int total = p->count + sib->count;
        int keep = (total + 1) / 2;  // the page of the insertion keeps the larger half
        if (right) Redistribute(*p, *sib, *parent, j + 1, keep);
        else Redistribute(*sib, *p, *parent, j, total - keep);
        break;
      }
      Cell up;
      if (!Split(fb, k, *p, up)) return Stop();
      MarkDirty(*parent);
      InsertCell(*parent, j + 1, up);
      p = std::move(parent);
      --level;
    }
  }
  ++ip.h.key_count;
  ip.header_changed = true;
  EndCall();
}

void DeleteKey(FileBlock* fb, int k, std::int32_t recno, std::string_view key) {
  if (!Enter(fb, true, k)) return;
  key = Cut(key);
  IndexPart& ip = fb->index[k];
  if (!MarkInUse(fb)) return;
  InvalidatePosition(fb, k);
  if (!BeginCall(fb, kDeleteKeyRepaired)) return;
  NoteHeader(k);

  Path path;
  bool ok;
  if (!Descend(fb, k, key, recno, path, ok)) {
    if (!ok) return Stop();
    return AbandonCall(), void(Corrupt(kDeleteNotFound));
  }
  int level = path.depth - 1;
  PageRef p = FetchPage(fb, k, path.at[level].page);
  if (!p) return Stop();
  int i = path.at[level].idx;
  MarkDirty(*p);
  if (p->IsLeaf()) {
    RemoveCell(*p, i);
  } else {
    // Replace the item by its predecessor, the last item of its left subtree.
    path.at[level].idx = i - 1;
    std::int32_t child = Child(*p, i - 1);
    PageRef leaf;
    while (child != 0) {
      if (path.depth >= kMaxHeight) return Corrupt(), Stop();
      leaf = FetchPage(fb, k, child);
      if (!leaf) return Stop();
      if (leaf->count == 0) return Corrupt(), Stop();
      path.at[path.depth++] = {child, leaf->count};
      child = Child(*leaf, leaf->count);
    }
    const Cell& pred = leaf->cell[leaf->count];
    p->cell[i].rec = pred.rec;
    p->cell[i].len = pred.len;
    std::copy(std::begin(pred.key), std::end(pred.key), p->cell[i].key);
    MarkDirty(*leaf);
    --leaf->count;
    level = path.depth - 1;
    p = std::move(leaf);
  }

  while (level > 0 && p->count < kMinItems) {
    PageRef parent = FetchPage(fb, k, path.at[level - 1].page);
    if (!parent) return Stop();
    int j = path.at[level - 1].idx;
    bool right = j < parent->count;
    int sidx = right ? j + 1 : j;
    PageRef sib = FetchPage(fb, k, Child(*parent, right ? j + 1 : j - 1));
    if (!sib) return Stop();
    MarkDirty(*parent);
    MarkDirty(*sib);
    int m = (sib->count - kMinItems + 1) / 2;
    PageBuf& a = right ? *p : *sib;
    PageBuf& b = right ? *sib : *p;
    if (m > 0) {
      // Borrow m items through the parent.
      int left_count = right ? a.count + m : a.count - m;
      Redistribute(a, b, *parent, sidx, left_count);
      break;
    }
    // Merge the right page into the left one with the separator between them.
    Cell sep = parent->cell[sidx];
    sep.right = b.cell[0].right;
    a.cell[a.count + 1] = sep;
    for (int n = 1; n <= b.count; ++n) a.cell[a.count + 1 + n] = b.cell[n];
    a.count = static_cast<std::uint16_t>(a.count + 1 + b.count);
    FreePage(fb, b);
    RemoveCell(*parent, sidx);
    p = std::move(parent);
    --level;
  }
  if (level == 0 && p->count == 0) {
    ip.h.root = Child(*p, 0);
    FreePage(fb, *p);
  }
  --ip.h.key_count;
  ip.header_changed = true;
  EndCall();
}

}  // namespace olbrax::isam
