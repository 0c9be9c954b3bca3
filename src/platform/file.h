#pragma once
// File access with the guarantees every file of the program needs.

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>

namespace dudivizo::platform {

enum class ReadStatus { Ok, Missing, TooLarge, Failed };

struct FileContents {
  ReadStatus status = ReadStatus::Missing;
  std::string bytes;
};

// Reads a whole file. A file larger than `maxBytes` is not read (TooLarge).
FileContents ReadFileBytes(const std::string& path, size_t maxBytes);

// Replaces the file at `path` with `bytes` through a temporary file in the
// same folder and a rename, so readers and a killed process only ever see the
// old or the new contents. An existing file keeps its permission bits unless
// `forceMode`; a new one gets `mode`. Returns false (and leaves the old
// file) on failure.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, mode_t mode = 0644,
                     bool forceMode = false);

// The folder part of `path` with a trailing "/", or "./" when it has none.
std::string DirectoryOf(const std::string& path);

}  // namespace dudivizo::platform
