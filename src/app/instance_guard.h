#pragma once
// One running copy per user: the first copy holds a lock named after the
// guard's name in the user's runtime folder (released with the process,
// even after a crash) and answers "raise your window" requests on a local
// socket beside it. A later copy finds the lock taken, and can ask the
// running copy to bring its visible window to the front.

#include <sys/types.h>

#include <functional>
#include <string>

namespace dudivizo::app {

class InstanceGuard {
 public:
  // `name` identifies the program; `folder` defaults to $XDG_RUNTIME_DIR,
  // else a private folder under /tmp.
  explicit InstanceGuard(std::string name, std::string folder = {});
  ~InstanceGuard();
  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // True when this is the only copy (the lock is now held), false when
  // another copy holds it. A lock that cannot be made at all counts as
  // "only copy": the program goes on without protection.
  bool Acquire();

  // The running copy's end: the socket to watch for requests (-1 if none),
  // and the handler to call when it is readable. `raise` gets the process id
  // that the request names and returns whether a window was raised.
  int listenFd() const { return listenFd_; }
  void HandleRequest(const std::function<bool(pid_t)>& raise);

  // The later copy's end: asks the running copy to raise the window of
  // process `pid`; gives up after `budgetMs`. True when a window was raised.
  bool RequestRaise(pid_t pid, int budgetMs);

 private:
  std::string lockPath_;
  std::string socketPath_;
  int lockFd_ = -1;
  int listenFd_ = -1;
};

// The id of the first process (in process-id order) whose executable file
// name equals `fileName` without regard to letter case; 0 for none.
pid_t FindProcessByName(const std::string& fileName);

// The file name (no folder) of this program's executable.
std::string OwnExecutableName();

}  // namespace dudivizo::app
