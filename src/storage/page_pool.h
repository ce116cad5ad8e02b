// The page buffer pool shared by all open file blocks.
//
// A buffer holds one index page in expanded form (every item in a 39-byte cell) with its owner
// (file block, index, page number). Buffers form a ring by last use; a page that is not in the
// pool takes the least recently used buffer that nobody has pinned.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "storage/layout.h"

namespace olbrax {
struct FileBlock;
}

namespace olbrax::isam {

struct PageBuf {
  FileBlock* fb = nullptr;  // owner; null when the buffer is unused
  int k = 0;
  std::int32_t page = 0;
  bool dirty = false;
  // The slot is on the free chain: only its first 4 bytes (the link) are significant.
  bool freed = false;
  std::int32_t free_link = 0;
  int pins = 0;
  PageBuf* newer = nullptr;
  PageBuf* older = nullptr;

  std::uint16_t count = 0;
  // cell[0].right is the leftmost child; cells 1..count are the items. One spare cell holds
  // the 63rd item for the moment a page overflows.
  Cell cell[kItemsPerPage + 2];
  // The slot as its file holds it (when `on_disk`, from a read or a later write), so that a
  // commit keeps the bytes it replaces without reading them: a read of a few hundred bytes is
  // one of the nine system calls of an insert by the per-call protocol.
  bool on_disk = false;
  unsigned char disk[PageSizeFor(kMaxKeyLen)];

  bool IsLeaf() const { return cell[0].right == 0; }
  std::int32_t Child(int i) const { return cell[i].right; }
};

class PagePool {
 public:
  // Makes up to `wanted` buffers; returns how many were made.
  int Create(int wanted);
  void Release();
  int Size() const { return static_cast<int>(buffers_.size()); }

  // The buffer holding the page, made the most recently used; null when not in the pool.
  PageBuf* Lookup(const FileBlock* fb, int k, std::int32_t page);
  // The same without touching the order of use.
  PageBuf* Peek(const FileBlock* fb, int k, std::int32_t page) const;
  // The least recently used buffer nobody has pinned, preferring one that does not hold a dirty
  // page of `busy` (the block of the operation in progress); it may still hold a dirty page.
  PageBuf* Victim(const FileBlock* busy = nullptr);
  // Gives the buffer to a page and makes it the most recently used.
  void Assign(PageBuf* b, FileBlock* fb, int k, std::int32_t page);
  // Makes the buffer unused.
  void Forget(PageBuf* b);
  // Forgets every page of the file block, dirty or not.
  void DropBlock(const FileBlock* fb);
  // Forgets the dirty pages of the file block.
  void DropDirty(const FileBlock* fb);

  template <class F>
  void ForEachOf(const FileBlock* fb, F&& f) {
    for (auto& b : buffers_)
      if (b->fb == fb) f(*b);
  }

 private:
  struct Key {
    const FileBlock* fb;
    int k;
    std::int32_t page;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    std::size_t operator()(const Key& key) const {
      auto h = reinterpret_cast<std::uintptr_t>(key.fb) * 0x9E3779B97F4A7C15ull;
      return h ^ (static_cast<std::size_t>(key.k) << 32) ^ static_cast<std::uint32_t>(key.page);
    }
  };

  void Unlink(PageBuf* b);
  void PushNewest(PageBuf* b);

  std::vector<std::unique_ptr<PageBuf>> buffers_;
  std::unordered_map<Key, PageBuf*, KeyHash> map_;
  PageBuf* newest_ = nullptr;
  PageBuf* oldest_ = nullptr;
};

// Keeps a buffer pinned (safe from reuse) while an operation works on it.
class PageRef {
 public:
  PageRef() = default;
  explicit PageRef(PageBuf* b) : b_(b) {
    if (b_) ++b_->pins;
  }
  ~PageRef() { Reset(); }
  PageRef(PageRef&& o) noexcept : b_(o.b_) { o.b_ = nullptr; }
  PageRef& operator=(PageRef&& o) noexcept {
    if (this != &o) {
      Reset();
      b_ = o.b_;
      o.b_ = nullptr;
    }
    return *this;
  }
  PageRef(const PageRef&) = delete;
  PageRef& operator=(const PageRef&) = delete;

  void Reset() {
    if (b_) --b_->pins;
    b_ = nullptr;
  }
  PageBuf* get() const { return b_; }
  PageBuf* operator->() const { return b_; }
  PageBuf& operator*() const { return *b_; }
  explicit operator bool() const { return b_ != nullptr; }

 private:
  PageBuf* b_ = nullptr;
};

}  // namespace olbrax::isam
