// A started engine and a temporary folder for file blocks, for the storage tests.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "storage/disk_file.h"
#include "storage/file_hooks.h"
#include "storage/isam.h"
#include "support/fixtures.h"

namespace olbrax::test {

inline KeyDescs Keys(std::initializer_list<KeyDesc> keys) {
  KeyDescs d{};
  int i = 0;
  for (auto k : keys) d[static_cast<std::size_t>(i++)] = k;
  return d;
}

class StorageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (isam::IsamStarted()) isam::ExitIsam();
    ASSERT_GE(isam::InitIsam(0, 200), 8);
    // The tests are about what reaches the files, not about the disk: without fdatasync they
    // run in a fraction of the time. Flush calls still happen and are seen by the file hooks.
    disk::SetFlushEnabled(false);
  }
  void TearDown() override {
    disk::SetFileHooks(nullptr);
    disk::SetFlushEnabled(true);
    if (isam::IsamStarted()) isam::ExitIsam();
  }
  // The block name of a file block in the test folder.
  std::string Name(const std::string& leaf = "BLOCK") const { return (dir / leaf).string(); }
  std::string File(const std::string& leaf) const { return (dir / leaf).string(); }
  // Creates and opens a journaled block.
  FileBlock* Make(int rec_len, std::initializer_list<KeyDesc> keys, const std::string& leaf = "BLOCK") {
    isam::CreateFileBlock(Name(leaf), rec_len, static_cast<int>(keys.size()), Keys(keys));
    EXPECT_TRUE(IsamOK) << IsamError;
    return Open(leaf);
  }
  FileBlock* Open(const std::string& leaf = "BLOCK") {
    FileBlock* fb = nullptr;
    isam::OpenFileBlock(fb, Name(leaf), false, false, true, false);
    EXPECT_TRUE(IsamOK) << IsamError;
    return fb;
  }

  TempDir dir;
};

}  // namespace olbrax::test
