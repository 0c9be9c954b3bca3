#include "platform/process.h"

#include <unistd.h>

#include <system_error>
#include <thread>

#include "platform/file.h"

namespace dudivizo::platform {

std::string RunDirectory() {
  std::string path(4096, '\0');
  ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0) return "./";
  path.resize(static_cast<size_t>(n));
  return DirectoryOf(path);
}

bool StartThread(std::function<void()> body) {
  try {
    std::thread(std::move(body)).detach();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace dudivizo::platform
