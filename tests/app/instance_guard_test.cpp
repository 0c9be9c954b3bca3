#include "app/instance_guard.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/text.h"
#include "support/temp_dir.h"

namespace dudivizo::app {
namespace {

const char kName[] = "9#@kpz7&&m2x81q5306tbv9%40812^!j3w77#eh051mn@!83021&*!@";

TEST(InstanceGuard, OnlyTheFirstCopyHoldsTheLock) {
  testing::TempDir dir;
  auto first = std::make_unique<InstanceGuard>(kName, dir.path());
  EXPECT_TRUE(first->Acquire());
  InstanceGuard second(kName, dir.path());
  EXPECT_FALSE(second.Acquire());
  InstanceGuard other("another program", dir.path());
  EXPECT_TRUE(other.Acquire());
  first.reset();  // the first copy ends
  InstanceGuard third(kName, dir.path());
  EXPECT_TRUE(third.Acquire());
}

TEST(InstanceGuard, LockGoesWithAKilledProcess) {
  testing::TempDir dir;
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    InstanceGuard guard(kName, dir.path());
    char held = guard.Acquire() ? 1 : 0;
    [[maybe_unused]] ssize_t n = ::write(ready[1], &held, 1);
    ::pause();
  }
  char held = 0;
  ASSERT_EQ(::read(ready[0], &held, 1), 1);
  ASSERT_EQ(held, 1);
  {
    InstanceGuard blocked(kName, dir.path());
    EXPECT_FALSE(blocked.Acquire());
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  InstanceGuard after(kName, dir.path());
  EXPECT_TRUE(after.Acquire());
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST(InstanceGuard, RaiseRequestsReachTheRunningCopy) {
  testing::TempDir dir;
  InstanceGuard running(kName, dir.path());
  ASSERT_TRUE(running.Acquire());
  ASSERT_GE(running.listenFd(), 0);
  std::atomic<bool> stop{false};
  std::atomic<bool> visible{true};
  std::atomic<int> asked{0};
  std::thread server([&] {
    while (!stop) {
      pollfd p{running.listenFd(), POLLIN, 0};
      if (::poll(&p, 1, 20) == 1) {
        running.HandleRequest([&](pid_t pid) {
          asked = pid;
          return visible.load();
        });
      }
    }
  });
  InstanceGuard later(kName, dir.path());
  EXPECT_FALSE(later.Acquire());
  EXPECT_TRUE(later.RequestRaise(4242, 1000));
  EXPECT_EQ(asked, 4242);
  visible = false;  // the window is hidden in the tray: nothing is raised
  EXPECT_FALSE(later.RequestRaise(4242, 1000));
  stop = true;
  server.join();

  // Nobody answers: the request gives up within its budget.
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(later.RequestRaise(4242, 100));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(600));
}

TEST(InstanceGuard, ProcessesAreFoundByNameWithoutRegardToCase) {
  std::string own = OwnExecutableName();
  ASSERT_EQ(own, "app_tests");
  pid_t found = FindProcessByName(own);
  EXPECT_GT(found, 0);
  EXPECT_LE(found, ::getpid());
  EXPECT_EQ(FindProcessByName(platform::AsciiUpper(own)), found);
  EXPECT_EQ(FindProcessByName("no-such-program-here"), 0);
}

}  // namespace
}  // namespace dudivizo::app
