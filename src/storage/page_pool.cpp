#include "storage/page_pool.h"

#include <new>

namespace olbrax::isam {

int PagePool::Create(int wanted) {
  Release();
  buffers_.reserve(static_cast<std::size_t>(wanted > 0 ? wanted : 0));
  for (int i = 0; i < wanted; ++i) {
    auto* b = new (std::nothrow) PageBuf;
    if (!b) break;
    buffers_.emplace_back(b);
    PushNewest(b);
  }
  map_.reserve(buffers_.size() * 2);
  return Size();
}

void PagePool::Release() {
  map_.clear();
  buffers_.clear();
  newest_ = oldest_ = nullptr;
}

void PagePool::Unlink(PageBuf* b) {
  if (b->newer) b->newer->older = b->older;
  else newest_ = b->older;
  if (b->older) b->older->newer = b->newer;
  else oldest_ = b->newer;
  b->newer = b->older = nullptr;
}

void PagePool::PushNewest(PageBuf* b) {
  b->older = newest_;
  b->newer = nullptr;
  if (newest_) newest_->newer = b;
  newest_ = b;
  if (!oldest_) oldest_ = b;
}

PageBuf* PagePool::Lookup(const FileBlock* fb, int k, std::int32_t page) {
  auto it = map_.find(Key{fb, k, page});
  if (it == map_.end()) return nullptr;
  PageBuf* b = it->second;
  if (b != newest_) {
    Unlink(b);
    PushNewest(b);
  }
  return b;
}

PageBuf* PagePool::Peek(const FileBlock* fb, int k, std::int32_t page) const {
  auto it = map_.find(Key{fb, k, page});
  return it == map_.end() ? nullptr : it->second;
}

PageBuf* PagePool::Victim(const FileBlock* busy) {
  for (PageBuf* b = oldest_; b; b = b->newer)
    if (b->pins == 0 && !(b->dirty && b->fb == busy)) return b;
  for (PageBuf* b = oldest_; b; b = b->newer)
    if (b->pins == 0) return b;
  return nullptr;
}

void PagePool::Assign(PageBuf* b, FileBlock* fb, int k, std::int32_t page) {
  if (b->fb) map_.erase(Key{b->fb, b->k, b->page});
  b->fb = fb;
  b->k = k;
  b->page = page;
  b->dirty = false;
  b->freed = false;
  b->on_disk = false;
  map_[Key{fb, k, page}] = b;
  Unlink(b);
  PushNewest(b);
}

void PagePool::Forget(PageBuf* b) {
  if (b->fb) map_.erase(Key{b->fb, b->k, b->page});
  b->fb = nullptr;
  b->dirty = false;
  b->freed = false;
  b->on_disk = false;
  // Unused buffers are the first to be taken again.
  Unlink(b);
  b->newer = oldest_;
  b->older = nullptr;
  if (oldest_) oldest_->older = b;
  oldest_ = b;
  if (!newest_) newest_ = b;
}

void PagePool::DropBlock(const FileBlock* fb) {
  for (auto& b : buffers_)
    if (b->fb == fb) Forget(b.get());
}

void PagePool::DropDirty(const FileBlock* fb) {
  for (auto& b : buffers_)
    if (b->fb == fb && b->dirty) Forget(b.get());
}

}  // namespace olbrax::isam
