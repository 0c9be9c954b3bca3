#pragma once
// The interface to the user-interface thread's message loop. Every window,
// menu and timer handler runs on that thread; other threads reach it only
// through Post and PostAndWait. The Qt binding implements it for the
// program, FakeEventLoop (with a manual clock) for tests.

#include <cstdint>
#include <functional>
#include <memory>

namespace dudivizo::ui {

// Held by whoever may be destroyed while work aimed at it is still queued:
// a task posted with the token of a destroyed owner is dropped.
class LifeToken {
 public:
  LifeToken() : alive_(std::make_shared<bool>(true)) {}
  void Expire() { *alive_ = false; }
  std::weak_ptr<bool> Watch() const { return alive_; }

 private:
  std::shared_ptr<bool> alive_;
};

class EventLoop {
 public:
  using Task = std::function<void()>;
  using TimerId = uint64_t;

  virtual ~EventLoop() = default;

  // Queues `task` for the user-interface thread; tasks run in call order.
  // Callable from any thread.
  virtual void Post(Task task) = 0;
  // Runs `task` on the user-interface thread and returns when it has run
  // (at once when called there). Callable from any thread.
  virtual void PostAndWait(Task task) = 0;
  // Runs the messages that are waiting, then returns.
  virtual void ProcessPending() = 0;
  // Waits `ms` milliseconds while messages, timers included, go on running.
  virtual void Pause(int ms) = 0;
  // Calls `tick` every `periodMs` milliseconds on the user-interface thread
  // until stopped. A period of 0 or less starts nothing and returns 0.
  virtual TimerId StartTimer(int periodMs, Task tick) = 0;
  virtual void StopTimer(TimerId id) = 0;
  // Runs the loop until `done` returns true (checked after every message).
  virtual void RunUntil(const std::function<bool()>& done) = 0;
  // Ends RunUntil at the next message.
  virtual void Quit() = 0;
  virtual bool IsUiThread() const = 0;

  // Post that is dropped when the owner of `token` has been destroyed.
  void PostFor(const LifeToken& token, Task task) { PostFor(token.Watch(), std::move(task)); }
  // The same with a watch taken earlier, for threads that outlive the owner.
  void PostFor(std::weak_ptr<bool> alive, Task task) {
    Post([alive = std::move(alive), task = std::move(task)] {
      auto flag = alive.lock();
      if (flag && *flag) task();
    });
  }
  // Runs `task` now when on the user-interface thread, else posts it for
  // `token`'s owner.
  void RunOrPostFor(const LifeToken& token, Task task) {
    if (IsUiThread()) {
      task();
    } else {
      PostFor(token, std::move(task));
    }
  }
};

}  // namespace dudivizo::ui
