#include "shell/single_instance.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

namespace olbrax {

InstanceGuard::InstanceGuard(const QString& folder) {
  QString dir = folder;
  if (dir.isEmpty()) dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  QDir().mkpath(dir);
  path_ = QDir(dir).filePath("OLBRAX.lock");
  lock_ = std::make_unique<QLockFile>(path_);
  // A lock whose process is gone is removed by tryLock (QLockFile checks the process id and
  // host); no age limit, so a long-running copy is never taken for a stale one.
  lock_->setStaleLockTime(0);
  first_ = lock_->tryLock(0);
}

InstanceGuard::~InstanceGuard() {
  if (first_) lock_->unlock();
}

}  // namespace olbrax
