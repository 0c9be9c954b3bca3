#include "platform/gbk.h"

#include <iconv.h>

#include <cerrno>

namespace dudivizo::platform {
namespace {

// One conversion descriptor per thread and direction: iconv descriptors carry
// shift state and must not be shared between threads.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`, appending `replacement` for every byte sequence that cannot
  // be converted and skipping `skip(...)` bytes of it.
  template <typename Skip>
  std::string Run(std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return out;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    out.resize(in.size() * 3 / 2 + 16);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    size_t used = 0;
    while (srcLeft > 0) {
      char* dst = out.data() + used;
      size_t dstLeft = out.size() - used;
      size_t rc = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
      used = out.size() - dstLeft;
      if (rc != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
      // EILSEQ or EINVAL: replace the offending sequence and go on.
      size_t n = skip(std::string_view(src, srcLeft));
      if (out.size() - used < replacement.size()) out.resize(out.size() * 2 + replacement.size());
      out.replace(used, replacement.size(), replacement);
      used += replacement.size();
      src += n;
      srcLeft -= n;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    return out;
  }

 private:
  iconv_t cd_;
};

// Length of the malformed or unmappable UTF-8 sequence at the start of `s`:
// a whole well-formed character when it is one, else one byte.
size_t Utf8SequenceLength(std::string_view s) {
  auto b = static_cast<unsigned char>(s[0]);
  size_t n = b < 0xC0 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF8 ? 4 : 1;
  if (n > s.size()) return 1;
  for (size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  size_t i = 0;
  while (i < gbk.size() && static_cast<unsigned char>(gbk[i]) < 0x80) ++i;
  if (i == gbk.size()) return std::string(gbk);
  thread_local Converter converter("UTF-8", "CP936");
  return converter.Run(gbk, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

std::string Utf8ToGbk(std::string_view utf8) {
  size_t i = 0;
  while (i < utf8.size() && static_cast<unsigned char>(utf8[i]) < 0x80) ++i;
  if (i == utf8.size()) return std::string(utf8);
  thread_local Converter converter("CP936", "UTF-8");
  return converter.Run(utf8, "?", Utf8SequenceLength);
}

}  // namespace dudivizo::platform
