// Memory checks and the global-memory wrappers.
//
// The wrappers keep blocks in a handle table of their own that behaves like the platform's
// global memory: a handle names a block, locking gives its address and counts locks. Each
// wrapper reports a failure in a notice box with the error number, the function and the
// caller's tag ("   6 globallock error PrinterSetup") and returns the failure value; none stops
// the program.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace olbrax {

using MemHandle = std::uintptr_t;  // 0 is the null handle

// True when at least `bytes` + 2048 bytes of virtual memory are available. When true, it also
// lowers the two low-water marks of the memory statistics.
bool MemAvail(std::int64_t bytes);

struct MemoryStatus {
  std::int64_t total_phys = 0;
  std::int64_t avail_phys = 0;
  std::int64_t total_virtual = 0;
  std::int64_t avail_virtual = 0;
  int load_percent = 0;
};
// The platform's memory status (from /proc/meminfo).
MemoryStatus ReadMemoryStatus();
// The smallest available physical and virtual memory seen by MemAvail, minus the bytes asked
// for; -1 before the first successful check.
std::int64_t MemLowPhys();
std::int64_t MemLowVirtual();

MemHandle MemAlloc(std::string_view tag, std::size_t bytes);
void* MemLock(std::string_view tag, MemHandle handle);
bool MemUnlock(std::string_view tag, MemHandle handle);
// Frees the block and sets `handle` to 0; on failure `handle` keeps its value. Returns `handle`.
MemHandle MemFree(std::string_view tag, MemHandle& handle);
std::size_t MemSize(std::string_view tag, MemHandle handle);
// The lock count (low 8 bits of the flags); reported as failed for an unknown handle.
int MemFlags(std::string_view tag, MemHandle handle);

// For tests: the memory status source (null = /proc/meminfo) and a reset of the marks.
void SetMemoryStatusSource(MemoryStatus (*source)());
void ResetMemoryMarks();

}  // namespace olbrax
