#include "competition/maintenance/file_copy.h"

#include <vector>

#include "storage/disk_file.h"

namespace olbrax {

int CopyWholeFile(std::string_view from, std::string_view to, std::size_t chunk,
                  const std::function<bool(std::int64_t)>& step) {
  disk::File src, dst;
  if (int e = disk::Open(from, false, src); e != 0) return e;
  if (int e = disk::Create(to, dst); e != 0) return e;
  std::vector<char> buffer(chunk);
  std::int64_t total = 0;
  for (;;) {
    std::size_t got = 0;
    if (int e = disk::Read(src, total, buffer.data(), buffer.size(), got); e != 0) return e;
    if (got == 0) break;
    std::size_t put = 0;
    if (int e = disk::Write(dst, total, buffer.data(), got, put); e != 0) return e;
    if (put != got) return disk::kErrDiskFull;
    total += static_cast<std::int64_t>(got);
    if (step && !step(total)) return kCopyCancelled;
  }
  if (int e = disk::Flush(dst); e != 0) return e;
  return disk::Close(dst);
}

}  // namespace olbrax
