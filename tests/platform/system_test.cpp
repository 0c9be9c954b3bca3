#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/clock.h"
#include "platform/process.h"

namespace dudivizo::platform {
namespace {

TEST(RunDirectory, IsTheExecutablesFolderWithTrailingSlash) {
  std::string dir = RunDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(dir + "platform_tests"));
}

TEST(Clock, RealTickCountAdvances) {
  uint64_t before = TickCount64();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  uint64_t after = TickCount64();
  EXPECT_GE(after - before, 15u);
  EXPECT_LT(after - before, 5000u);
}

TEST(Clock, FakeClockDrivesTheTickCountAndWraps) {
  {
    FakeClock clock((uint64_t{1} << 32) - 10);
    EXPECT_EQ(TickCount(), 0xFFFFFFF6u);
    clock.Advance(15);
    EXPECT_EQ(TickCount(), 5u);  // the 32-bit count wraps
    EXPECT_EQ(TickCount64(), (uint64_t{1} << 32) + 5);
  }
  EXPECT_NE(TickCount64(), (uint64_t{1} << 32) + 5);  // back to the system clock
}

TEST(StartThread, RunsTheBodyWithoutBeingWaitedFor) {
  std::atomic<bool> ran{false};
  std::atomic<bool> release{false};
  ASSERT_TRUE(StartThread([&] {
    while (!release) std::this_thread::yield();
    ran = true;
  }));
  EXPECT_FALSE(ran);  // StartThread returned while the body still waits
  release = true;
  for (int i = 0; i < 1000 && !ran; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace dudivizo::platform
