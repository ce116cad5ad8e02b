#include "base/memory.h"

#include <sys/sysinfo.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <new>
#include <string>

#include "base/messages.h"

namespace olbrax {

namespace {

// Platform error numbers the wrappers report.
constexpr int kErrorInvalidHandle = 6;
constexpr int kErrorNotEnoughMemory = 8;
constexpr unsigned kInvalidHandleFlag = 0x8000;

struct Block {
  std::unique_ptr<unsigned char[]> bytes;
  std::size_t size = 0;
  int locks = 0;
};

struct Heap {
  std::map<MemHandle, Block> blocks;
  MemHandle next = 1;
  int last_error = 0;
};
Heap g_heap;

MemoryStatus (*g_status_source)() = nullptr;
std::int64_t g_low_phys = -1;
std::int64_t g_low_virtual = -1;

void Report(int error, std::string_view what, std::string_view tag) {
  ShowText(201, IntStr(error, 4) + Text(what) + Text(tag));
}

Block* Find(MemHandle handle) {
  auto it = g_heap.blocks.find(handle);
  return it == g_heap.blocks.end() ? nullptr : &it->second;
}

MemoryStatus ReadProcMeminfo() {
  MemoryStatus st;
  std::int64_t total = 0, avail = 0, swap_total = 0, swap_free = 0;
  if (FILE* f = std::fopen("/proc/meminfo", "r")) {
    char key[64];
    long long kb;
    while (std::fscanf(f, "%63s %lld kB\n", key, &kb) == 2) {
      if (!std::strcmp(key, "MemTotal:")) total = kb * 1024;
      else if (!std::strcmp(key, "MemAvailable:")) avail = kb * 1024;
      else if (!std::strcmp(key, "SwapTotal:")) swap_total = kb * 1024;
      else if (!std::strcmp(key, "SwapFree:")) swap_free = kb * 1024;
    }
    std::fclose(f);
  } else {
    struct sysinfo si {};
    if (sysinfo(&si) == 0) {
      total = static_cast<std::int64_t>(si.totalram) * si.mem_unit;
      avail = static_cast<std::int64_t>(si.freeram + si.bufferram) * si.mem_unit;
      swap_total = static_cast<std::int64_t>(si.totalswap) * si.mem_unit;
      swap_free = static_cast<std::int64_t>(si.freeswap) * si.mem_unit;
    }
  }
  st.total_phys = total;
  st.avail_phys = avail;
  // What a process can still commit: free physical memory plus free swap.
  st.total_virtual = total + swap_total;
  st.avail_virtual = avail + swap_free;
  st.load_percent = total > 0 ? static_cast<int>(100 - avail * 100 / total) : 0;
  return st;
}

}  // namespace

MemoryStatus ReadMemoryStatus() { return g_status_source ? g_status_source() : ReadProcMeminfo(); }

bool MemAvail(std::int64_t bytes) {
  MemoryStatus st = ReadMemoryStatus();
  if (st.avail_virtual < bytes + 2048) return false;
  std::int64_t phys = st.avail_phys - bytes;
  std::int64_t virt = st.avail_virtual - bytes;
  if (g_low_phys < 0 || phys < g_low_phys) g_low_phys = phys;
  if (g_low_virtual < 0 || virt < g_low_virtual) g_low_virtual = virt;
  return true;
}

std::int64_t MemLowPhys() { return g_low_phys; }
std::int64_t MemLowVirtual() { return g_low_virtual; }

void SetMemoryStatusSource(MemoryStatus (*source)()) { g_status_source = source; }
void ResetMemoryMarks() { g_low_phys = g_low_virtual = -1; }

int MemFlags(std::string_view tag, MemHandle handle) {
  g_heap.last_error = 0;
  Block* b = Find(handle);
  unsigned flags = b ? static_cast<unsigned>(b->locks) : kInvalidHandleFlag;
  if (!b) g_heap.last_error = kErrorInvalidHandle;
  if (flags == kInvalidHandleFlag && g_heap.last_error != 0)
    Report(g_heap.last_error, " globalflags error ", tag);
  return static_cast<int>(flags & 0xFF);
}

MemHandle MemAlloc(std::string_view tag, std::size_t bytes) {
  g_heap.last_error = 0;
  Block block;
  block.bytes.reset(new (std::nothrow) unsigned char[bytes ? bytes : 1]());
  if (!block.bytes) {
    Report(kErrorNotEnoughMemory, " globalalloc error ", tag);
    return 0;
  }
  block.size = bytes;
  MemHandle h = g_heap.next++;
  g_heap.blocks.emplace(h, std::move(block));
  MemFlags(tag, h);
  return h;
}

void* MemLock(std::string_view tag, MemHandle handle) {
  MemFlags(tag, handle);
  g_heap.last_error = 0;
  Block* b = Find(handle);
  if (!b) {
    Report(kErrorInvalidHandle, " globallock error ", tag);
    return nullptr;
  }
  if (b->locks < 255) ++b->locks;
  return b->bytes.get();
}

bool MemUnlock(std::string_view tag, MemHandle handle) {
  MemFlags(tag, handle);
  g_heap.last_error = 0;
  Block* b = Find(handle);
  if (!b) {
    Report(kErrorInvalidHandle, " globalunlock error ", tag);
    return false;
  }
  if (b->locks > 0) --b->locks;
  return b->locks > 0;  // like the platform: true while the block stays locked
}

MemHandle MemFree(std::string_view tag, MemHandle& handle) {
  MemFlags(tag, handle);
  g_heap.last_error = 0;
  if (g_heap.blocks.erase(handle) == 0) {
    Report(kErrorInvalidHandle, " globalfree error ", tag);
    return handle;  // the platform returns the handle it could not free
  }
  handle = 0;
  return handle;
}

std::size_t MemSize(std::string_view tag, MemHandle handle) {
  g_heap.last_error = 0;
  Block* b = Find(handle);
  if (!b) {
    Report(kErrorInvalidHandle, " globalsize error ", tag);
    return 0;
  }
  return b->size;
}

}  // namespace olbrax
