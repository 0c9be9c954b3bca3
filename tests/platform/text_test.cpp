#include "platform/text.h"

#include <gtest/gtest.h>

#include <limits>

namespace dudivizo::platform {
namespace {

TEST(TextToInt, FollowsTheConversionRules) {
  struct Case {
    const char* text;
    int32_t expected;
  } cases[] = {
      {"123", 123},
      {"", 0},
      {"abc", 0},
      {"  -45x", -45},
      {"+7", 7},
      {"\t 12 34", 12},
      {"--1", 0},
      {"- 1", 0},
      {"１２３", 123},      // full-width digits
      {"　－４５元", -45},  // full-width blank and minus
      {"＋８", 8},
      {"2147483647", 2147483647},
      {"2147483648", std::numeric_limits<int32_t>::max()},
      {"-2147483648", std::numeric_limits<int32_t>::min()},
      {"-99999999999", std::numeric_limits<int32_t>::min()},
      {"中12", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToInt(c.text), c.expected) << c.text;
}

TEST(TextToInt, SixtyFourBitForm) {
  EXPECT_EQ(TextToInt64("1760000000137"), 1760000000137);
  EXPECT_EQ(TextToInt64("9223372036854775807"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(TextToInt64("99999999999999999999"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(TextToInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(TextToInt64(" １７６０"), 1760);
}

TEST(Text, CaseFoldingTouchesOnlyAscii) {
  EXPECT_EQ(AsciiLower("GD-SZ.Example.COM 中国"), "gd-sz.example.com 中国");
  EXPECT_TRUE(EqualsIgnoreAsciiCase("Set-Cookie", "set-cookie"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("Accept", "Accept-"));
  EXPECT_EQ(FindIgnoreAsciiCase("x\r\ncontent-type: a", "Content-Type:"), 3u);
  EXPECT_EQ(FindIgnoreAsciiCase("short", "much longer"), std::string_view::npos);
}

TEST(Text, SplitKeepsEmptyPieces) {
  EXPECT_EQ(Split("a; b; ", "; "), (std::vector<std::string>{"a", "b", ""}));
  EXPECT_EQ(Split("", ","), (std::vector<std::string>{""}));
  EXPECT_EQ(ReplaceAll("U%-U%", "U%", "x"), "x-x");
}

}  // namespace
}  // namespace dudivizo::platform
