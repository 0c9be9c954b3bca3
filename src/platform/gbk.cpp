#include "platform/gbk.h"

#include <iconv.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace dudivizo::platform {
namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// Code page 936 as two tables, filled once from the C library's converter:
// the code point of every GBK byte pair (lead 0x81..0xFE) and of the single
// byte 0x80, and for the way back the GBK code of every mappable BMP code
// point. The page maps no code point twice, so the second table is the
// inverse of the first. Looking bytes up is several times faster than
// running the converter over a whole body.
struct Tables {
  std::array<uint16_t, 128 * 256> decode{};  // [(lead - 0x80) << 8 | trail], 0 = invalid
  std::array<uint16_t, 65536> encode{};      // [code point], 0 = not in GBK
};

uint16_t ConvertOnce(iconv_t cd, const char* bytes, size_t length) {
  char in[2] = {bytes[0], length > 1 ? bytes[1] : '\0'};
  char out[8];
  char* src = in;
  char* dst = out;
  size_t srcLeft = length, dstLeft = sizeof out;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1) || srcLeft != 0 ||
      sizeof out - dstLeft != 2) {
    return 0;
  }
  return static_cast<uint16_t>(static_cast<uint8_t>(out[0]) | static_cast<uint8_t>(out[1]) << 8);
}

const Tables& GetTables() {
  static Tables tables;
  static std::once_flag built;
  std::call_once(built, [] {
    iconv_t cd = iconv_open("UTF-16LE", "CP936");
    if (cd == reinterpret_cast<iconv_t>(-1)) return;
    char single = static_cast<char>(0x80);
    tables.decode[0] = ConvertOnce(cd, &single, 1);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        tables.decode[static_cast<size_t>((lead - 0x80) << 8 | trail)] = ConvertOnce(cd, pair, 2);
      }
    }
    iconv_close(cd);
    for (size_t i = 0; i < tables.decode.size(); ++i) {
      uint16_t cp = tables.decode[i];
      if (cp == 0) continue;
      tables.encode[cp] = i == 0 ? uint16_t{0x80} : static_cast<uint16_t>(i + 0x8000);
    }
  });
  return tables;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes the UTF-8 character at `s[i]`. Returns its code point and sets
// `length`; returns -1 for a malformed, overlong or surrogate sequence, with
// `length` covering the bytes to skip (the whole sequence when its shape is
// complete, else one byte).
int32_t DecodeUtf8(std::string_view s, size_t i, size_t& length) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[i + k]); };
  unsigned char b = byte(0);
  size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
  length = 1;
  if (n == 1 || i + n > s.size()) return -1;
  uint32_t cp = b & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    if ((byte(k) & 0xC0) != 0x80) return -1;
    cp = cp << 6 | (byte(k) & 0x3F);
  }
  length = n;
  static const uint32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return -1;
  return static_cast<int32_t>(cp);
}

// The end of the run of ASCII bytes starting at `i`, eight bytes at a time.
size_t AsciiRunEnd(std::string_view s, size_t i) {
  while (i + 8 <= s.size()) {
    uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    if (word & 0x8080808080808080ull) break;
    i += 8;
  }
  while (i < s.size() && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  const Tables* tables = nullptr;
  size_t i = 0;
  while (i < gbk.size()) {
    size_t start = i;
    i = AsciiRunEnd(gbk, i);
    out.append(gbk.data() + start, i - start);
    if (i == gbk.size()) break;
    if (tables == nullptr) tables = &GetTables();
    auto lead = static_cast<unsigned char>(gbk[i]);
    uint16_t cp = 0;
    size_t used = 1;
    if (lead == 0x80) {
      cp = tables->decode[0];
    } else if (lead != 0xFF && i + 1 < gbk.size()) {
      cp = tables->decode[static_cast<size_t>((lead - 0x80) << 8 |
                                              static_cast<unsigned char>(gbk[i + 1]))];
      used = 2;
    }
    if (cp == 0) {
      out.append(kReplacement);
      i += 1;  // resume at the next byte: it may be a character of its own
    } else {
      AppendUtf8(out, cp);
      i += used;
    }
  }
  return out;
}

std::string Utf8ToGbk(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const Tables* tables = nullptr;
  size_t i = 0;
  while (i < utf8.size()) {
    size_t start = i;
    i = AsciiRunEnd(utf8, i);
    out.append(utf8.data() + start, i - start);
    if (i == utf8.size()) break;
    if (tables == nullptr) tables = &GetTables();
    size_t length = 1;
    int32_t cp = DecodeUtf8(utf8, i, length);
    uint16_t code = cp > 0 && cp < 0x10000 ? tables->encode[static_cast<size_t>(cp)] : 0;
    if (code == 0) {
      out.push_back('?');
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
    i += length;
  }
  return out;
}

}  // namespace dudivizo::platform
