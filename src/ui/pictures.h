#pragma once
// The program's pictures: embedded at build time, decoded in memory (PNG
// with libpng's simplified interface, JPEG with libjpeg, and 32-bit .ico).

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace dudivizo::ui {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgba;  // width x height pixels, 4 bytes each, top row first
};

// The bytes of the embedded file `name` ("avatar.jpg"), empty when unknown.
std::string_view AssetBytes(std::string_view name);

std::optional<Picture> DecodePng(std::string_view bytes);
std::optional<Picture> DecodeJpeg(std::string_view bytes);
// The first 32-bit image of an icon file. Every offset and size is checked
// against the data, so broken icon data gives no picture rather than a crash.
std::optional<Picture> DecodeIco(std::string_view bytes);

// Decodes the embedded picture `name` by its extension; cached.
const Picture* AssetPicture(std::string_view name);

}  // namespace dudivizo::ui
