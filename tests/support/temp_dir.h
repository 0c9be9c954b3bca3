#pragma once
// A private temporary folder for one test, removed with its contents.

#include <string>

namespace dudivizo::testing {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder, with a trailing "/".
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + name; }

  void Write(const std::string& name, const std::string& bytes) const;
  std::string Read(const std::string& name) const;

 private:
  std::string path_;
};

}  // namespace dudivizo::testing
