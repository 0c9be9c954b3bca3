#include "platform/process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

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

std::string DataDirectory() {
  std::string cache;
  if (const char* xdg = std::getenv("XDG_CACHE_HOME"); xdg && *xdg == '/') {
    cache = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    cache = std::string(home) + "/.cache";
  } else {
    cache = "/tmp";
  }
  ::mkdir(cache.c_str(), 0700);
  std::string folder = cache + "/dudivizo/";
  ::mkdir(folder.c_str(), 0700);
  return folder;
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
