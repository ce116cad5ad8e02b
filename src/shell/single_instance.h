// The single-instance guard: one running copy of the program per user.
//
// A lock file named "OLBRAX.lock" in the user's runtime folder stands in for the named system
// mutex "OLBRAX". A lock left by a crashed run is stale and does not block the next start.
#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace olbrax {

class InstanceGuard {
 public:
  // Takes the lock in `folder` (default: the runtime folder, else the temp folder).
  explicit InstanceGuard(const QString& folder = QString());
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // False when another running copy holds the lock.
  bool FirstInstance() const { return first_; }
  QString LockPath() const { return path_; }

 private:
  std::unique_ptr<QLockFile> lock_;
  QString path_;
  bool first_ = false;
};

}  // namespace olbrax
