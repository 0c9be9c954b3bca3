#include "ui/pictures.h"

#include <png.h>
#include <setjmp.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include <jpeglib.h>

namespace dudivizo::ui {
namespace {

// libjpeg reports errors by calling error_exit; we leave the decoder with a
// long jump instead of letting it end the process.
struct JpegError {
  jpeg_error_mgr manager;
  jmp_buf jump;
};

void OnJpegError(j_common_ptr info) { longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1); }
void IgnoreJpegMessage(j_common_ptr) {}

uint32_t Read32(std::string_view b, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(b[at])) |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
}
uint16_t Read16(std::string_view b, size_t at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}

bool EndsWith(std::string_view s, std::string_view end) {
  return s.size() >= end.size() && s.substr(s.size() - end.size()) == end;
}

}  // namespace

std::optional<Picture> DecodePng(std::string_view bytes) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGBA;
  Picture picture{static_cast<int>(image.width), static_cast<int>(image.height), {}};
  if (image.width > 8192 || image.height > 8192) {
    png_image_free(&image);
    return std::nullopt;
  }
  picture.rgba.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, picture.rgba.data(), 0, nullptr)) {
    png_image_free(&image);
    return std::nullopt;
  }
  return picture;
}

std::optional<Picture> DecodeJpeg(std::string_view bytes) {
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = OnJpegError;
  error.manager.output_message = IgnoreJpegMessage;
  // Locals changed after setjmp must not live in registers.
  Picture* volatile result = new Picture();
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    delete result;
    return std::nullopt;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  if (info.output_width > 8192 || info.output_height > 8192) longjmp(error.jump, 1);
  result->width = static_cast<int>(info.output_width);
  result->height = static_cast<int>(info.output_height);
  result->rgba.resize(static_cast<size_t>(result->width) * result->height * 4);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row =
        result->rgba.data() + static_cast<size_t>(info.output_scanline) * result->width * 4;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  Picture picture = std::move(*result);
  delete result;
  return picture;
}

std::optional<Picture> DecodeIco(std::string_view b) {
  if (b.size() < 6 + 16 || Read16(b, 0) != 0 || Read16(b, 2) != 1 || Read16(b, 4) == 0)
    return std::nullopt;
  uint32_t size = Read32(b, 6 + 8);
  uint32_t offset = Read32(b, 6 + 12);
  if (offset > b.size() || size > b.size() - offset || size < 40) return std::nullopt;
  std::string_view dib = b.substr(offset, size);
  if (Read32(dib, 0) < 40) return std::nullopt;
  auto width = static_cast<int32_t>(Read32(dib, 4));
  auto height = static_cast<int32_t>(Read32(dib, 8)) / 2;  // colour and mask halves
  if (Read16(dib, 14) != 32 || width <= 0 || height <= 0 || width > 256 || height > 256)
    return std::nullopt;
  size_t header = Read32(dib, 0);
  size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (header > dib.size() || pixels > dib.size() - header) return std::nullopt;
  Picture picture{width, height, std::vector<uint8_t>(pixels)};
  for (int y = 0; y < height; ++y) {
    const char* src = dib.data() + header + static_cast<size_t>(height - 1 - y) * width * 4;
    uint8_t* dst = picture.rgba.data() + static_cast<size_t>(y) * width * 4;
    for (int x = 0; x < width; ++x, src += 4, dst += 4) {
      dst[0] = static_cast<uint8_t>(src[2]);
      dst[1] = static_cast<uint8_t>(src[1]);
      dst[2] = static_cast<uint8_t>(src[0]);
      dst[3] = static_cast<uint8_t>(src[3]);
    }
  }
  return picture;
}

const Picture* AssetPicture(std::string_view name) {
  static std::mutex mutex;
  static std::map<std::string, std::optional<Picture>, std::less<>> cache;
  std::lock_guard<std::mutex> lock(mutex);
  auto it = cache.find(name);
  if (it == cache.end()) {
    std::string_view bytes = AssetBytes(name);
    std::optional<Picture> picture;
    if (EndsWith(name, ".png"))
      picture = DecodePng(bytes);
    else if (EndsWith(name, ".jpg"))
      picture = DecodeJpeg(bytes);
    else if (EndsWith(name, ".ico"))
      picture = DecodeIco(bytes);
    it = cache.emplace(std::string(name), std::move(picture)).first;
  }
  return it->second ? &*it->second : nullptr;
}

}  // namespace dudivizo::ui
