#include "platform/text.h"

#include <limits>

namespace dudivizo::platform {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The ASCII character that the UTF-8 character at `text[pos]` stands for once
// full-width forms are folded, with the number of bytes it occupies; 0 when
// the character has no ASCII counterpart.
char FoldedAt(std::string_view text, size_t pos, size_t& length) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
  length = 1;
  if (byte(0) < 0x80) return text[pos];
  if (pos + 3 > text.size()) return 0;
  length = 3;
  if (byte(0) == 0xE3 && byte(1) == 0x80 && byte(2) == 0x80) return ' ';
  if (byte(0) == 0xEF && byte(1) == 0xBC && byte(2) >= 0x81 && byte(2) <= 0xBF)
    return static_cast<char>(0x21 + byte(2) - 0x81);
  if (byte(0) == 0xEF && byte(1) == 0xBD && byte(2) >= 0x80 && byte(2) <= 0x9E)
    return static_cast<char>(0x60 + byte(2) - 0x80);
  return 0;
}

template <typename Int>
Int ParseInteger(std::string_view text) {
  size_t pos = 0;
  size_t length = 0;
  char c = 0;
  auto next = [&] {
    c = pos < text.size() ? FoldedAt(text, pos, length) : 0;
    return c;
  };
  while (next() != 0 && IsBlank(c)) pos += length;
  bool negative = false;
  if (c == '+' || c == '-') {
    negative = c == '-';
    pos += length;
    next();
  }
  // Accumulate as a negative number so the most negative value fits.
  constexpr Int kMin = std::numeric_limits<Int>::min();
  Int value = 0;
  bool saturated = false;
  while (c >= '0' && c <= '9') {
    Int digit = c - '0';
    if (!saturated) {
      if (value < (kMin + digit) / 10) {
        saturated = true;
      } else {
        value = static_cast<Int>(value * 10 - digit);
      }
    }
    pos += length;
    next();
  }
  if (saturated) return negative ? kMin : std::numeric_limits<Int>::max();
  if (negative) return value;
  return value == kMin ? std::numeric_limits<Int>::max() : static_cast<Int>(-value);
}

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }
char UpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

}  // namespace

int32_t TextToInt(std::string_view text) { return ParseInteger<int32_t>(text); }
int64_t TextToInt64(std::string_view text) { return ParseInteger<int64_t>(text); }

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerAscii(c);
  return out;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperAscii(c);
  return out;
}

bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

size_t FindIgnoreAsciiCase(std::string_view haystack, std::string_view needle, size_t from) {
  if (needle.size() > haystack.size()) return std::string_view::npos;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (EqualsIgnoreAsciiCase(haystack.substr(i, needle.size()), needle)) return i;
  }
  return std::string_view::npos;
}

std::string_view Trim(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> pieces;
  if (separator.empty()) {
    pieces.emplace_back(text);
    return pieces;
  }
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string_view::npos;) {
    pieces.emplace_back(text.substr(start, at - start));
    start = at + separator.size();
  }
  pieces.emplace_back(text.substr(start));
  return pieces;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  size_t start = 0;
  for (size_t at; (at = text.find(from, start)) != std::string_view::npos;) {
    out.append(text.substr(start, at - start)).append(to);
    start = at + from.size();
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace dudivizo::platform
