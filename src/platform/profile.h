#pragma once
// INI ("profile") files with the semantics of the classic private-profile
// functions: section and key names match without regard to ASCII letter case,
// values are trimmed, a missing key reads as the caller's default and a write
// creates the file and the section when they are missing. The bytes on disk
// are GBK with CR LF line ends; text in and out of this interface is UTF-8.

#include <sys/types.h>

#include <string>
#include <string_view>
#include <vector>

namespace dudivizo::platform {

class ProfileFile {
 public:
  // Files larger than this are treated as unreadable: they are not parsed,
  // and Save refuses to replace them, so nothing the user had is destroyed.
  static constexpr size_t kMaxBytes = 32u << 20;

  // Loads `path`; a missing or unreadable file gives an empty profile.
  static ProfileFile Load(const std::string& path);

  // The trimmed value of `key` in the first section named `section`, without
  // one pair of enclosing quotes; `fallback` (trimmed) when there is none.
  std::string Get(std::string_view section, std::string_view key,
                  std::string_view fallback = {}) const;

  // Sets `key` in `section`, replacing its first line or adding one at the
  // end of the section; adds the section at the end of the file when missing.
  // Line breaks inside `value` are written as blanks.
  void Set(std::string_view section, std::string_view key, std::string_view value);

  // Writes the profile back to the path it was loaded from, atomically.
  // A new file gets `mode`; an existing one keeps its permission bits
  // unless `forceMode`.
  bool Save(mode_t mode = 0644, bool forceMode = false) const;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> lines_;
  bool writable_ = true;
};

// One-call forms of Load + Get and Load + Set + Save.
std::string ReadProfileText(const std::string& path, std::string_view section, std::string_view key,
                            std::string_view fallback = {});
bool WriteProfileText(const std::string& path, std::string_view section, std::string_view key,
                      std::string_view value, mode_t newFileMode = 0644);

}  // namespace dudivizo::platform
