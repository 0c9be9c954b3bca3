#pragma once
// An EventLoop for tests: messages run when the test lets them, and time
// passes only when the test advances the manual clock. The thread that
// creates it is the user-interface thread.

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <thread>

#include "platform/clock.h"
#include "ui/event_loop.h"

namespace dudivizo::ui {

class FakeEventLoop : public EventLoop {
 public:
  FakeEventLoop();

  void Post(Task task) override;
  void PostAndWait(Task task) override;
  void ProcessPending() override;
  // Advances the manual clock by `ms`, running due timers and messages.
  void Pause(int ms) override;
  TimerId StartTimer(int periodMs, Task tick) override;
  void StopTimer(TimerId id) override;
  // Runs messages until `done` holds; returns when nothing is left to run
  // and `done` still does not hold (a test must never hang).
  void RunUntil(const std::function<bool()>& done) override;
  void Quit() override;
  bool IsUiThread() const override;

  // Lets `ms` pass on the manual clock: timers fire in time order, each
  // followed by the messages it posted.
  void Advance(uint64_t ms);
  // Waits (really) until another thread has posted something, up to `ms`.
  bool WaitForPost(int ms);
  size_t PendingCount() const;
  uint64_t Now() const { return clock_.Now(); }

 private:
  struct Timer {
    int period;
    uint64_t due;
    Task tick;
  };

  bool RunOne();

  platform::FakeClock clock_;
  std::thread::id uiThread_;
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<Task> queue_;
  std::map<TimerId, Timer> timers_;
  TimerId nextTimer_ = 1;
  bool quit_ = false;
};

}  // namespace dudivizo::ui
