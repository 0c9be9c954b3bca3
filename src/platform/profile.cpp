#include "platform/profile.h"

#include <optional>

#include "platform/file.h"
#include "platform/gbk.h"
#include "platform/text.h"

namespace dudivizo::platform {
namespace {

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  std::string_view trimmed = Trim(line);
  if (trimmed.empty() || trimmed.front() != '[') return std::nullopt;
  size_t close = trimmed.find(']');
  std::string_view inner =
      trimmed.substr(1, close == std::string_view::npos ? trimmed.size() - 1 : close - 1);
  return Trim(inner);
}

// Splits a "key=value" line; false for lines without "=".
bool KeyValue(std::string_view line, std::string_view& key, std::string_view& value) {
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return true;
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// Index range [begin, end) of the body of the first section named `section`,
// or begin == npos when there is none.
struct Range {
  size_t begin = std::string::npos;
  size_t end = 0;
};

Range FindSection(const std::vector<std::string>& lines, std::string_view section) {
  Range range;
  for (size_t i = 0; i < lines.size(); ++i) {
    auto name = SectionName(lines[i]);
    if (!name) continue;
    if (range.begin != std::string::npos) {
      range.end = i;
      return range;
    }
    if (EqualsIgnoreAsciiCase(*name, Trim(section))) range.begin = i + 1;
  }
  if (range.begin != std::string::npos) range.end = lines.size();
  return range;
}

}  // namespace

ProfileFile ProfileFile::Load(const std::string& path) {
  ProfileFile profile;
  profile.path_ = path;
  FileContents file = ReadFileBytes(path, kMaxBytes);
  if (file.status == ReadStatus::TooLarge || file.status == ReadStatus::Failed) {
    profile.writable_ = false;
    return profile;
  }
  std::string text = GbkToUtf8(file.bytes);
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    // A NUL ends a line's text, as it ends a C string.
    line = line.substr(0, line.find('\0'));
    profile.lines_.emplace_back(line);
    start = end + 1;
  }
  return profile;
}

std::string ProfileFile::Get(std::string_view section, std::string_view key,
                             std::string_view fallback) const {
  Range range = FindSection(lines_, section);
  if (range.begin != std::string::npos) {
    std::string_view wanted = Trim(key);
    for (size_t i = range.begin; i < range.end; ++i) {
      std::string_view k, v;
      if (KeyValue(lines_[i], k, v) && EqualsIgnoreAsciiCase(k, wanted)) {
        return std::string(Unquote(v));
      }
    }
  }
  return std::string(Trim(fallback));
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string cleanValue(value);
  for (char& c : cleanValue) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  std::string line = std::string(Trim(key)) + "=" + cleanValue;
  Range range = FindSection(lines_, section);
  if (range.begin == std::string::npos) {
    while (!lines_.empty() && Trim(lines_.back()).empty()) lines_.pop_back();
    lines_.push_back("[" + std::string(Trim(section)) + "]");
    lines_.push_back(line);
    return;
  }
  size_t lastEntry = range.begin;
  for (size_t i = range.begin; i < range.end; ++i) {
    std::string_view k, v;
    if (KeyValue(lines_[i], k, v) && EqualsIgnoreAsciiCase(k, Trim(key))) {
      lines_[i] = line;
      return;
    }
    if (!Trim(lines_[i]).empty()) lastEntry = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastEntry), line);
}

bool ProfileFile::Save(mode_t mode, bool forceMode) const {
  if (!writable_) return false;
  std::string text;
  for (const std::string& line : lines_) text.append(line).append("\r\n");
  return WriteFileAtomic(path_, Utf8ToGbk(text), mode, forceMode);
}

std::string ReadProfileText(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view fallback) {
  return ProfileFile::Load(path).Get(section, key, fallback);
}

bool WriteProfileText(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value, mode_t newFileMode) {
  ProfileFile profile = ProfileFile::Load(path);
  profile.Set(section, key, value);
  return profile.Save(newFileMode);
}

}  // namespace dudivizo::platform
