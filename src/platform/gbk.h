#pragma once
// Conversion between the program's internal UTF-8 text and GBK (code page 936),
// the character set of the service's bodies and of the program's files.

#include <string>
#include <string_view>

namespace dudivizo::platform {

// GBK bytes to UTF-8. An invalid or truncated byte sequence becomes U+FFFD and
// conversion resumes at the next byte, so the rest of the text is kept.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK bytes. A character that GBK cannot represent, or a malformed
// UTF-8 sequence, becomes "?" and conversion resumes after it.
std::string Utf8ToGbk(std::string_view utf8);

}  // namespace dudivizo::platform
