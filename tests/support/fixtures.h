// Shared test fixtures.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/headless_ui.h"

namespace olbrax::test {

// A fresh temporary folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::string str() const { return path_.string(); }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// Installs a recording HeadlessUi for the test and resets the message line, the window stacks
// and the counter windows before and after.
class UiTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  platform::HeadlessUi ui;
};

// Reads a whole file as bytes.
std::string ReadFileBytes(const std::filesystem::path& path);
// Writes bytes to a file, replacing it.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace olbrax::test
