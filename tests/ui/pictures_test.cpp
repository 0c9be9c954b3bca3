#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <string>

namespace dudivizo::ui {
namespace {

TEST(Pictures, EmbeddedAssetsDecode) {
  const struct {
    const char* name;
    int width, height;
  } cases[] = {{"avatar.jpg", 76, 76},    {"separator.png", 180, 12}, {"marker.png", 16, 16},
               {"marker-bar.png", 4, 16}, {"rule.png", 8, 1},         {"dudivizo.ico", 32, 32}};
  for (const auto& c : cases) {
    const Picture* p = AssetPicture(c.name);
    ASSERT_NE(p, nullptr) << c.name;
    EXPECT_EQ(p->width, c.width) << c.name;
    EXPECT_EQ(p->height, c.height) << c.name;
    EXPECT_EQ(p->rgba.size(), static_cast<size_t>(c.width * c.height * 4));
  }
  EXPECT_EQ(AssetBytes("dudivizo.ico").size(), 4286u);
  EXPECT_EQ(AssetPicture("missing.png"), nullptr);
  // The marker's centre is the accent orange, fully opaque.
  const Picture* marker = AssetPicture("marker.png");
  const uint8_t* centre = &marker->rgba[(8 * 16 + 8) * 4];
  EXPECT_EQ(centre[0], 249);
  EXPECT_EQ(centre[1], 159);
  EXPECT_EQ(centre[2], 8);
  EXPECT_EQ(centre[3], 255);
}

TEST(Pictures, BrokenDataGivesNoPicture) {
  std::string ico(AssetBytes("dudivizo.ico"));
  std::string png(AssetBytes("marker.png"));
  std::string jpg(AssetBytes("avatar.jpg"));
  auto with = [](std::string s, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
  };
  EXPECT_FALSE(DecodeIco(ico.substr(0, 100)));
  EXPECT_FALSE(DecodeIco(with(ico, 18, 0xFFFFFFF0)));  // image offset far past the end
  EXPECT_FALSE(DecodeIco(with(ico, 14, 0x7FFFFFFF)));  // image size past the end
  EXPECT_FALSE(DecodeIco(with(ico, 22 + 4, 100000)));  // absurd width
  EXPECT_FALSE(DecodeIco(""));
  EXPECT_FALSE(DecodePng(png.substr(0, png.size() / 2)));
  EXPECT_FALSE(DecodePng("not a png"));
  EXPECT_FALSE(DecodeJpeg(jpg.substr(0, 40)));
  EXPECT_FALSE(DecodeJpeg(std::string(1000, '\xFF')));
  EXPECT_TRUE(DecodeIco(ico));
}

}  // namespace
}  // namespace dudivizo::ui
