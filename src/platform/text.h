#pragma once
// Small text helpers shared by every subsystem. All text is UTF-8.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace dudivizo::platform {

// Reads a decimal integer the way the whole program converts text to numbers:
// full-width ASCII forms (U+FF01..U+FF5E) and the full-width blank (U+3000)
// count as their ASCII counterparts; leading blanks, an optional sign, then
// decimal digits up to the first other character. No digits gives 0; a value
// beyond the type's range saturates at its limit.
int32_t TextToInt(std::string_view text);
int64_t TextToInt64(std::string_view text);

// ASCII-only letter case folding; other bytes are left alone.
std::string AsciiLower(std::string_view text);
std::string AsciiUpper(std::string_view text);
bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b);
// Position of `needle` in `haystack` ignoring ASCII letter case, or npos.
size_t FindIgnoreAsciiCase(std::string_view haystack, std::string_view needle, size_t from = 0);

// Removes ASCII blanks (space, tab, CR, LF, VT, FF) at both ends.
std::string_view Trim(std::string_view text);

// Splits at every occurrence of `separator`; empty pieces are kept.
std::vector<std::string> Split(std::string_view text, std::string_view separator);

// Replaces every occurrence of `from` by `to`, scanning left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

}  // namespace dudivizo::platform
