// Index pages through the shared buffer pool: reading, taking new ones, freeing, writing back.
#include <cstring>
#include <vector>

#include "storage/engine.h"

namespace olbrax::isam {

namespace {

// A buffer for a page: the least recently used one. A changed page it holds goes to its
// transaction's image (journaled blocks) or to its file (blocks without the journal); one that
// the call in progress changed is only given up when nothing else is left.
PageBuf* TakeBuffer() {
  PagePool& pool = TheEngine().pool;
  PageBuf* b = pool.Victim(TheTxn().call_fb);
  if (b == nullptr) {
    Corrupt(kTooFewBuffers);
    return nullptr;
  }
  if (b->dirty) {
    if (b->fb->journal) PackPage(*b);
    else if (!WritePage(*b)) return nullptr;
  }
  return b;
}

// The packed bytes of a page slot: the transaction's image, or the file's.
bool ReadSlot(FileBlock* fb, int k, std::int32_t page, unsigned char* raw, std::size_t& got) {
  if (const PageState* s = PendingPage(fb, k, page)) {
    if (s->freed) return Corrupt();  // a tree that points to a free page
    got = s->extent;
    std::memcpy(raw, s->image, got);
    return true;
  }
  return ReadSome(fb->index_file, fb->PageOffset(k, page), raw, static_cast<std::size_t>(fb->index[k].h.page_size), got);
}

}  // namespace

PageRef FetchPage(FileBlock* fb, int k, std::int32_t page) {
  IndexPart& ip = fb->index[k];
  if (page < 1 || page > ip.h.page_count) return Corrupt(), PageRef();
  PagePool& pool = TheEngine().pool;
  if (PageBuf* b = pool.Lookup(fb, k, page)) {
    if (b->freed) return Corrupt(), PageRef();  // a tree that points to a free page
    return PageRef(b);
  }
  PageBuf* b = TakeBuffer();
  if (b == nullptr) return PageRef();
  pool.Forget(b);

  // Read into the buffer's copy of the slot, kept as the file holds it.
  unsigned char* raw = b->disk;
  std::size_t got = 0;
  bool pending = PendingPage(fb, k, page) != nullptr;
  if (!ReadSlot(fb, k, page, raw, got)) return PageRef();
  if (got < kPageHeadSize) return Corrupt(kShortRead), PageRef();
  int count = GetU16(raw);
  if (count > kItemsPerPage) return Corrupt(), PageRef();
  if (got < static_cast<std::size_t>(kPageHeadSize + count * ItemSize(ip.key_len)))
    return Corrupt(kShortRead), PageRef();
  if (!UnpackItems(raw + kPageHeadSize, count, ip.key_len, b->cell)) return Corrupt(), PageRef();
  b->cell[0] = Cell{};
  b->cell[0].right = GetI32(raw + 2);
  b->count = static_cast<std::uint16_t>(count);
  pool.Assign(b, fb, k, page);
  b->on_disk = !pending && got == static_cast<std::size_t>(ip.h.page_size);
  return PageRef(b);
}

PageRef NewPage(FileBlock* fb, int k) {
  IndexPart& ip = fb->index[k];
  PagePool& pool = TheEngine().pool;
  NoteHeader(k);

  std::int32_t page;
  if (ip.h.first_free == -1) {
    page = ip.h.page_count + 1;
    ip.h.page_count = page;
    if (page >= fb->rows) fb->rows = page + 1;
  } else {
    page = ip.h.first_free;
    if (page < 1 || page > ip.h.page_count) return Corrupt(kFreeChain), PageRef();
    std::int32_t next;
    PageBuf* held = pool.Lookup(fb, k, page);
    const PageState* pending = PendingPage(fb, k, page);
    if (held != nullptr && held->freed) {
      next = held->free_link;
    } else if (pending != nullptr && pending->freed) {
      next = GetI32(pending->image);
    } else {
      unsigned char raw[4];
      if (!ReadExact(fb->index_file, fb->PageOffset(k, page), raw, 4)) return PageRef();
      next = GetI32(raw);
    }
    if (next == 0 || next < -1 || next > ip.h.page_count) return Corrupt(kFreeChain), PageRef();
    NoteTake(k, page, next);
    ip.h.first_free = next;
    --ip.h.free_count;
    if (held != nullptr) pool.Forget(held);
  }
  ip.header_changed = true;
  NoteFresh(k, page);

  PageBuf* b = TakeBuffer();
  if (b == nullptr) return PageRef();
  pool.Assign(b, fb, k, page);
  b->count = 0;
  b->cell[0] = Cell{};
  b->dirty = true;
  NoteDirty(*b);
  return PageRef(b);
}

void FreePage(FileBlock* fb, PageBuf& b) {
  IndexPart& ip = fb->index[b.k];
  NoteHeader(b.k);
  MarkDirty(b);
  b.freed = true;
  b.free_link = ip.h.first_free;
  b.count = 0;
  ip.h.first_free = b.page;
  ++ip.h.free_count;
  ip.header_changed = true;
}

void MarkDirty(PageBuf& b) {
  if (b.dirty) return;
  NotePage(b);
  b.dirty = true;
  NoteDirty(b);
}

bool WritePage(PageBuf& b) {
  FileBlock* fb = b.fb;
  IndexPart& ip = fb->index[b.k];
  // Rows are whole: a page past the end of the file extends it by zero-filled rows.
  std::int64_t rows_end = static_cast<std::int64_t>(fb->rows) * fb->row_size;
  if (fb->index_file.Size() < rows_end && !TruncateFile(fb->index_file, rows_end)) return false;
  unsigned char raw[PageSizeFor(kMaxKeyLen)];
  std::size_t len;
  if (b.freed) {
    PutI32(raw, b.free_link);
    len = 4;
  } else {
    PutU16(raw, b.count);
    PutI32(raw + 2, b.cell[0].right);
    PackItems(b.cell, b.count, ip.key_len, raw + kPageHeadSize);
    len = static_cast<std::size_t>(kPageHeadSize + b.count * ItemSize(ip.key_len));
  }
  if (!WriteExact(fb->index_file, fb->PageOffset(b.k, b.page), raw, len)) return false;
  b.dirty = false;
  b.on_disk = false;
  return true;
}

bool WriteDirtyPages(FileBlock* fb) {
  bool ok = true;
  std::vector<PageBuf*> dirty;
  TheEngine().pool.ForEachOf(fb, [&](PageBuf& b) {
    if (b.dirty) dirty.push_back(&b);
  });
  for (PageBuf* b : dirty)
    if (ok) ok = WritePage(*b);
  for (int k = 1; ok && k <= fb->key_count; ++k)
    if (fb->index[k].header_changed) ok = WritePartHeader(fb, k);
  return ok;
}

void InvalidatePosition(FileBlock* fb, int k) {
  IndexPart& ip = fb->index[k];
  // "Before the first key" (open, ClearKey, past the end) survives any change; a position a
  // search left must be searched again.
  if (ip.pos.depth == 0 && ip.pos_valid && !ip.research_allowed) return;
  ip.pos_valid = false;
}

}  // namespace olbrax::isam
