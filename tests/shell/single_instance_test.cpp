#include <gtest/gtest.h>

#include <QFile>
#include <QSysInfo>

#include "shell/single_instance.h"
#include "support/fixtures.h"

namespace olbrax {
namespace {

TEST(InstanceGuard, ASecondGuardIsRefusedUntilTheFirstEnds) {
  test::TempDir dir;
  QString folder = QString::fromStdString(dir.str());
  {
    InstanceGuard first(folder);
    EXPECT_TRUE(first.FirstInstance());
    InstanceGuard second(folder);
    EXPECT_FALSE(second.FirstInstance());
  }
  InstanceGuard again(folder);
  EXPECT_TRUE(again.FirstInstance());
}

TEST(InstanceGuard, ALockLeftByACrashedRunDoesNotBlock) {
  test::TempDir dir;
  QString folder = QString::fromStdString(dir.str());
  // The lock file of a process that no longer exists, on this machine.
  QFile f(folder + "/OLBRAX.lock");
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("2147480000\nolbrax\n" + QSysInfo::machineHostName().toUtf8() + "\n" +
          QSysInfo::machineUniqueId() + "\n");
  f.close();
  InstanceGuard guard(folder);
  EXPECT_TRUE(guard.FirstInstance());
}

}  // namespace
}  // namespace olbrax
