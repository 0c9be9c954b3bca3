#pragma once
// EventLoop over Qt's own loop, for the program. Create it after the
// QApplication, on the thread that runs it.

#include <map>

#include "ui/event_loop.h"

class QTimer;

namespace dudivizo::ui {

class QtEventLoop : public EventLoop {
 public:
  QtEventLoop();
  ~QtEventLoop() override;

  void Post(Task task) override;
  void PostAndWait(Task task) override;
  void ProcessPending() override;
  void Pause(int ms) override;
  TimerId StartTimer(int periodMs, Task tick) override;
  void StopTimer(TimerId id) override;
  void RunUntil(const std::function<bool()>& done) override;
  void Quit() override;
  bool IsUiThread() const override;

 private:
  std::map<TimerId, QTimer*> timers_;
  TimerId nextTimer_ = 1;
  bool quit_ = false;
};

}  // namespace dudivizo::ui
