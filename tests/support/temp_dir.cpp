#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace dudivizo::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "dudivizo-test-XXXXXX").string();
  char* made = ::mkdtemp(pattern.data());
  if (made == nullptr) ADD_FAILURE() << "mkdtemp failed";
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const {
  std::ofstream(File(name), std::ios::binary) << bytes;
}

std::string TempDir::Read(const std::string& name) const {
  std::ifstream in(File(name), std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace dudivizo::testing
