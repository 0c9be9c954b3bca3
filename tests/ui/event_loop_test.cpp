#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "platform/clock.h"
#include "support/fake_event_loop.h"

namespace dudivizo::ui {
namespace {

TEST(FakeEventLoop, PostsFromAnyThreadRunInCallOrder) {
  FakeEventLoop loop;
  std::vector<int> seen;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) loop.Post([&seen, i] { seen.push_back(i); });
  });
  worker.join();
  EXPECT_TRUE(seen.empty());  // nothing runs until the loop does
  loop.ProcessPending();
  ASSERT_EQ(seen.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[static_cast<size_t>(i)], i);
}

TEST(FakeEventLoop, PostAndWaitReturnsAfterTheTaskRanOnTheUiThread) {
  FakeEventLoop loop;
  bool ranOnUi = false;
  bool returned = false;
  std::thread worker([&] {
    loop.PostAndWait([&] { ranOnUi = loop.IsUiThread(); });
    returned = true;
  });
  ASSERT_TRUE(loop.WaitForPost(5000));
  EXPECT_FALSE(returned);
  loop.ProcessPending();
  worker.join();
  EXPECT_TRUE(ranOnUi);
  EXPECT_TRUE(returned);
  bool direct = false;
  loop.PostAndWait([&] { direct = true; });  // on the UI thread: at once
  EXPECT_TRUE(direct);
}

TEST(FakeEventLoop, TimersTickWithTheManualClock) {
  FakeEventLoop loop;
  std::vector<uint64_t> ticks;
  uint64_t start = loop.Now();
  EventLoop::TimerId id = loop.StartTimer(1000, [&] { ticks.push_back(loop.Now() - start); });
  EXPECT_EQ(loop.StartTimer(0, [] {}), 0u);
  loop.Advance(999);
  EXPECT_TRUE(ticks.empty());
  loop.Advance(2001);
  EXPECT_EQ(ticks, (std::vector<uint64_t>{1000, 2000, 3000}));
  EXPECT_EQ(platform::TickCount64() - start, 3000u);  // the tick count follows the clock
  loop.StopTimer(id);
  loop.Advance(5000);
  EXPECT_EQ(ticks.size(), 3u);
}

TEST(FakeEventLoop, PauseRunsMessagesAndTimersWhileTimePasses) {
  FakeEventLoop loop;
  int ticks = 0;
  bool posted = false;
  loop.StartTimer(300, [&] { ++ticks; });
  loop.Post([&] { posted = true; });
  loop.Pause(1000);
  EXPECT_TRUE(posted);
  EXPECT_EQ(ticks, 3);
}

TEST(FakeEventLoop, DroppedWhenTheOwnerIsGone) {
  FakeEventLoop loop;
  int runs = 0;
  {
    LifeToken window;
    loop.PostFor(window, [&] { ++runs; });
    loop.ProcessPending();
    loop.PostFor(window, [&] { ++runs; });
    window.Expire();
  }
  loop.ProcessPending();
  EXPECT_EQ(runs, 1);
}

TEST(FakeEventLoop, RunUntilStopsWhenDoneOrIdle) {
  FakeEventLoop loop;
  int step = 0;
  for (int i = 0; i < 5; ++i) loop.Post([&] { ++step; });
  loop.RunUntil([&] { return step == 3; });
  EXPECT_EQ(step, 3);
  loop.RunUntil([] { return false; });  // runs dry instead of hanging
  EXPECT_EQ(step, 5);
}

}  // namespace
}  // namespace dudivizo::ui
