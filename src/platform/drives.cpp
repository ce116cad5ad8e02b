#include "platform/drives.h"

#include <mntent.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace olbrax::platform {

namespace {

bool IsPseudoFileSystem(const char* type) {
  static const char* const kPseudo[] = {
      "proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs", "pstore", "debugfs",
      "tracefs", "mqueue", "hugetlbfs", "configfs", "fusectl", "bpf", "autofs", "binfmt_misc",
      "rpc_pipefs", "nsfs", "efivarfs", "overlay", "squashfs", "ramfs", "fuse.gvfsd-fuse", "fuse.portal"};
  for (const char* p : kPseudo)
    if (std::strcmp(type, p) == 0) return true;
  return false;
}

}  // namespace

std::vector<std::string> MountedFileSystems() {
  std::vector<std::string> mounts{"/"};
  if (FILE* f = setmntent("/proc/mounts", "r")) {
    while (struct mntent* m = getmntent(f)) {
      std::string dir = m->mnt_dir;
      if (IsPseudoFileSystem(m->mnt_type)) continue;
      if (dir.rfind("/proc", 0) == 0 || dir.rfind("/sys", 0) == 0 || dir.rfind("/dev", 0) == 0 ||
          dir.rfind("/run", 0) == 0 || dir.rfind("/boot", 0) == 0 || dir.rfind("/snap", 0) == 0)
        continue;
      if (std::find(mounts.begin(), mounts.end(), dir) == mounts.end()) mounts.push_back(dir);
    }
    endmntent(f);
  }
  if (const char* home = std::getenv("HOME"); home && *home) {
    if (std::find(mounts.begin(), mounts.end(), home) == mounts.end()) mounts.push_back(home);
  }
  return mounts;
}

std::string MountPointOf(const std::string& path, const std::vector<std::string>& mounts) {
  std::string best = "/";
  for (const auto& m : mounts) {
    bool prefix = path == m || (path.rfind(m, 0) == 0 && (m == "/" || path[m.size()] == '/'));
    if (prefix && m.size() > best.size()) best = m;
  }
  return best;
}

}  // namespace olbrax::platform
