#include "support/fixtures.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

#include "base/counter.h"
#include "base/messages.h"

namespace olbrax::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "olbrax-test-XXXXXX").string();
  char* made = mkdtemp(pattern.data());
  if (!made) throw std::runtime_error("mkdtemp failed");
  path_ = made;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

void UiTest::SetUp() {
  ResetMessageState();
  ResetCounters();
  platform::SetUi(&ui);
}

void UiTest::TearDown() {
  ResetCounters();
  ResetMessageState();
  platform::SetUi(nullptr);
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace olbrax::test
