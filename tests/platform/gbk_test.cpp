#include "platform/gbk.h"

#include <gtest/gtest.h>

namespace dudivizo::platform {
namespace {

struct Pair {
  const char* utf8;
  const char* gbk;
};

TEST(Gbk, ConvertsBothWays) {
  const Pair cases[] = {
      {"", ""},
      {"plain ascii 123", "plain ascii 123"},
      {"中国", "\xD6\xD0\xB9\xFA"},
      {"电信 联通 移动", "\xB5\xE7\xD0\xC5 \xC1\xAA\xCD\xA8 \xD2\xC6\xB6\xAF"},
      {"软件设置", "\xC8\xED\xBC\xFE\xC9\xE8\xD6\xC3"},
      {"１２", "\xA3\xB1\xA3\xB2"},  // full-width digits
      {"€", "\x80"},                 // the euro sign of code page 936
  };
  for (const Pair& c : cases) {
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
  }
}

TEST(Gbk, InvalidGbkBecomesReplacementAndKeepsTheRest) {
  const Pair cases[] = {
      {"A\xEF\xBF\xBD"
       "B中",
       "A\xFF"
       "B\xD6\xD0"},                       // 0xFF is never a lead byte
      {"中\xEF\xBF\xBD", "\xD6\xD0\xD6"},  // truncated at the end
      {"\xEF\xBF\xBD\xEF\xBF\xBDok", "\xFF\xFFok"},
  };
  for (const Pair& c : cases) EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
}

TEST(Gbk, UnencodableOrMalformedUtf8BecomesQuestionMark) {
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80"
                      "b"),
            "a?b");                             // an emoji has no GBK form
  EXPECT_EQ(Utf8ToGbk("中\xC3"), "\xD6\xD0?");  // truncated sequence
  EXPECT_EQ(Utf8ToGbk("\xC3(中"), "?(\xD6\xD0");
}

TEST(Gbk, LargeMixedTextRoundTrips) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "node" + std::to_string(i) + "广东深圳";
  EXPECT_EQ(GbkToUtf8(Utf8ToGbk(text)), text);
}

}  // namespace
}  // namespace dudivizo::platform
