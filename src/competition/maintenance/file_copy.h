// Copying one file through the storage engine's file layer, so that the fault injection and
// crash tests of the file layer see every call, and the copy is on the disk when it returns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace olbrax {

// The result of a copy stopped by its `step` function.
inline constexpr int kCopyCancelled = -1;

// Copies `from` to `to` (created or emptied) in reads of at most `chunk` bytes and flushes `to`.
// `step`, when given, is told the bytes copied so far after every write; false stops the copy.
// Returns 0 when done, kCopyCancelled, or the platform (Windows) error number of the first call
// that failed: 2 when `from` does not exist, in which case `to` is not created.
int CopyWholeFile(std::string_view from, std::string_view to, std::size_t chunk,
                  const std::function<bool(std::int64_t)>& step = {});

}  // namespace olbrax
