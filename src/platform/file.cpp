#include "platform/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace dudivizo::platform {
namespace {

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

FileContents ReadFileBytes(const std::string& path, size_t maxBytes) {
  FileContents result;
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    result.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    result.status = ReadStatus::Failed;
    return result;
  }
  if (static_cast<size_t>(st.st_size) > maxBytes) {
    ::close(fd);
    result.status = ReadStatus::TooLarge;
    return result;
  }
  result.bytes.resize(static_cast<size_t>(st.st_size));
  size_t done = 0;
  result.status = ReadStatus::Ok;
  while (done < result.bytes.size()) {
    ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.status = ReadStatus::Failed;
      break;
    }
    if (n == 0) break;  // the file shrank while we read it
    done += static_cast<size_t>(n);
  }
  result.bytes.resize(done);
  ::close(fd);
  return result;
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, mode_t mode,
                     bool forceMode) {
  static std::atomic<unsigned> sequence{0};
  struct stat st {};
  if (!forceMode && ::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;

  std::string temporary =
      path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(sequence.fetch_add(1));
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporary.c_str());
  return ok;
}

std::string DirectoryOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "./";
  return path.substr(0, slash + 1);
}

}  // namespace dudivizo::platform
