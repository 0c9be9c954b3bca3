#include "app/instance_guard.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "platform/text.h"

namespace dudivizo::app {
namespace {

std::string RuntimeFolder() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (runtime && *runtime) return runtime;
  std::string folder = "/tmp/dudivizo-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);
  return folder;
}

// A short file name for the guard's name, which may hold any characters.
std::string Tag(const std::string& name) {
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : name) hash = (hash ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

bool FillAddress(const std::string& path, sockaddr_un& addr) {
  std::memset(&addr, 0, sizeof addr);
  addr.sun_family = AF_UNIX;
  if (path.size() >= sizeof addr.sun_path) return false;
  std::memcpy(addr.sun_path, path.c_str(), path.size());
  return true;
}

int Remaining(std::chrono::steady_clock::time_point end) {
  auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

InstanceGuard::InstanceGuard(std::string name, std::string folder) {
  if (folder.empty()) folder = RuntimeFolder();
  std::string base = folder + "/dudivizo-" + Tag(name);
  lockPath_ = base + ".lock";
  socketPath_ = base + ".sock";
}

InstanceGuard::~InstanceGuard() {
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(socketPath_.c_str());
  }
  if (lockFd_ >= 0) ::close(lockFd_);
}

bool InstanceGuard::Acquire() {
  lockFd_ = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (lockFd_ < 0) return true;
  if (::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    ::close(lockFd_);
    lockFd_ = -1;
    return false;
  }
  // We hold the lock, so any socket file left there is a dead copy's.
  ::unlink(socketPath_.c_str());
  sockaddr_un addr;
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ >= 0 && (!FillAddress(socketPath_, addr) ||
                         ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
                         ::listen(listenFd_, 4) != 0)) {
    ::close(listenFd_);
    listenFd_ = -1;
  }
  return true;
}

void InstanceGuard::HandleRequest(const std::function<bool(pid_t)>& raise) {
  int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) return;
  char request[64] = {};
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, 100) == 1) {
    ssize_t n = ::read(fd, request, sizeof request - 1);
    std::string_view text(request, n > 0 ? static_cast<size_t>(n) : 0);
    if (text.rfind("raise ", 0) == 0) {
      bool raised = raise(static_cast<pid_t>(platform::TextToInt(text.substr(6))));
      const char* answer = raised ? "raised\n" : "none\n";
      [[maybe_unused]] ssize_t w = ::write(fd, answer, std::strlen(answer));
    }
  }
  ::close(fd);
}

bool InstanceGuard::RequestRaise(pid_t pid, int budgetMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(budgetMs);
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  sockaddr_un addr;
  bool ok = FillAddress(socketPath_, addr);
  if (ok && ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
    pollfd p{fd, POLLOUT, 0};
    ok = errno == EINPROGRESS && ::poll(&p, 1, Remaining(end)) == 1;
  }
  std::string request = "raise " + std::to_string(pid) + "\n";
  ok = ok && ::write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size());
  char answer[16] = {};
  pollfd p{fd, POLLIN, 0};
  ok = ok && ::poll(&p, 1, Remaining(end)) == 1 && ::read(fd, answer, sizeof answer - 1) > 0;
  ::close(fd);
  return ok && std::strncmp(answer, "raised", 6) == 0;
}

pid_t FindProcessByName(const std::string& fileName) {
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return 0;
  const std::string wanted = platform::AsciiLower(fileName);
  pid_t first = 0;
  while (dirent* entry = ::readdir(proc)) {
    pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
    if (pid <= 0 || (first != 0 && pid >= first)) continue;
    char target[4096];
    std::string link = std::string("/proc/") + entry->d_name + "/exe";
    ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n <= 0) continue;
    std::string path(target, static_cast<size_t>(n));
    if (path.size() > 10 && path.compare(path.size() - 10, 10, " (deleted)") == 0)
      path.resize(path.size() - 10);
    std::string name = path.substr(path.rfind('/') + 1);
    if (platform::AsciiLower(name) == wanted) first = pid;
  }
  ::closedir(proc);
  return first;
}

std::string OwnExecutableName() {
  char target[4096];
  ssize_t n = ::readlink("/proc/self/exe", target, sizeof target - 1);
  if (n <= 0) return {};
  std::string path(target, static_cast<size_t>(n));
  return path.substr(path.rfind('/') + 1);
}

}  // namespace dudivizo::app
