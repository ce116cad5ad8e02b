// The "drive list" of folder choosers: the mounted file systems a user keeps files on.
#pragma once

#include <string>
#include <vector>

namespace olbrax::platform {

// Mount points of real file systems (not proc, sys, cgroup and the like), "/" first, then in
// the order of the mount table; the user's home folder is added when it is not a mount point.
std::vector<std::string> MountedFileSystems();

// The mount point that holds `path` (the longest mount point that is a prefix of it).
std::string MountPointOf(const std::string& path, const std::vector<std::string>& mounts);

}  // namespace olbrax::platform
