// Paths entering the program: kept exactly in Windows-1252, or refused.
#include <gtest/gtest.h>

#include "base/text.h"

namespace olbrax::test {
namespace {

TEST(Paths, KeptExactlyOrRefused) {
  // Swedish letters, the euro sign and a literal '?' are in the code page.
  EXPECT_EQ(WinPathFromUtf8("/home/anna/Tävlingar €?"), std::optional<std::string>("/home/anna/T\xE4vlingar \x80?"));
  EXPECT_EQ(WinPathFromUtf8(""), std::optional<std::string>(""));
  // Two different folders that the lossy conversion makes one ("/home/??/data") are both refused.
  EXPECT_EQ(WinFromUtf8("/home/田中/data"), WinFromUtf8("/home/Ωμ/data"));
  EXPECT_FALSE(WinPathFromUtf8("/home/田中/data"));
  EXPECT_FALSE(WinPathFromUtf8("/home/Ωμ/data"));
  EXPECT_FALSE(WinPathFromUtf8("/tmp/\xFF"));        // not UTF-8
  EXPECT_FALSE(WinPathFromUtf8("/tmp/\xC3"));        // cut in the middle of a character
  EXPECT_FALSE(WinPathFromUtf8("/tmp/\xC0\xAF"));    // an overlong '/'
  // The refusal names the path as it is, in UTF-8.
  EXPECT_NE(UnusablePathMessage("/home/田中/data").find("/home/田中/data"), std::string::npos);
}

}  // namespace
}  // namespace olbrax::test
