#include "support/fake_event_loop.h"

#include <chrono>
#include <future>

namespace dudivizo::ui {

FakeEventLoop::FakeEventLoop() : uiThread_(std::this_thread::get_id()) {}

void FakeEventLoop::Post(Task task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(task));
  }
  posted_.notify_all();
}

void FakeEventLoop::PostAndWait(Task task) {
  if (IsUiThread()) {
    task();
    return;
  }
  std::promise<void> done;
  std::future<void> ran = done.get_future();
  Post([&] {
    task();
    done.set_value();
  });
  ran.wait();
}

bool FakeEventLoop::RunOne() {
  Task task;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (queue_.empty()) return false;
    task = std::move(queue_.front());
    queue_.pop_front();
  }
  task();
  return true;
}

void FakeEventLoop::ProcessPending() {
  // Only what was waiting when called: a task that posts again does not
  // make this spin forever.
  size_t n = PendingCount();
  for (size_t i = 0; i < n && RunOne(); ++i) {
  }
}

void FakeEventLoop::Pause(int ms) {
  ProcessPending();
  if (ms > 0) Advance(static_cast<uint64_t>(ms));
}

EventLoop::TimerId FakeEventLoop::StartTimer(int periodMs, Task tick) {
  if (periodMs <= 0) return 0;
  TimerId id = nextTimer_++;
  timers_[id] = Timer{periodMs, clock_.Now() + static_cast<uint64_t>(periodMs), std::move(tick)};
  return id;
}

void FakeEventLoop::StopTimer(TimerId id) { timers_.erase(id); }

void FakeEventLoop::Advance(uint64_t ms) {
  const uint64_t end = clock_.Now() + ms;
  while (true) {
    auto next = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
      if (it->second.due <= end && (next == timers_.end() || it->second.due < next->second.due))
        next = it;
    }
    if (next == timers_.end()) break;
    clock_.Set(next->second.due);
    next->second.due += static_cast<uint64_t>(next->second.period);
    Task tick = next->second.tick;  // the tick may stop its own timer
    tick();
    ProcessPending();
  }
  clock_.Set(end);
  ProcessPending();
}

void FakeEventLoop::RunUntil(const std::function<bool()>& done) {
  quit_ = false;
  while (!quit_ && !done()) {
    if (!RunOne()) return;
  }
}

void FakeEventLoop::Quit() { quit_ = true; }

bool FakeEventLoop::IsUiThread() const { return std::this_thread::get_id() == uiThread_; }

bool FakeEventLoop::WaitForPost(int ms) {
  std::unique_lock<std::mutex> lock(mutex_);
  return posted_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !queue_.empty(); });
}

size_t FakeEventLoop::PendingCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queue_.size();
}

}  // namespace dudivizo::ui
