#include "ui/qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace dudivizo::ui {

QtEventLoop::QtEventLoop() = default;

QtEventLoop::~QtEventLoop() {
  for (auto& [id, timer] : timers_) delete timer;
}

void QtEventLoop::Post(Task task) {
  // Queued calls to one receiver run in the order they were made.
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void QtEventLoop::PostAndWait(Task task) {
  if (IsUiThread()) {
    task();
    return;
  }
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task),
                            Qt::BlockingQueuedConnection);
}

void QtEventLoop::ProcessPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtEventLoop::Pause(int ms) {
  QEventLoop wait;
  QTimer::singleShot(ms > 0 ? ms : 0, &wait, &QEventLoop::quit);
  wait.exec();
}

EventLoop::TimerId QtEventLoop::StartTimer(int periodMs, Task tick) {
  if (periodMs <= 0) return 0;
  auto* timer = new QTimer();
  timer->setInterval(periodMs);
  QObject::connect(timer, &QTimer::timeout, timer, std::move(tick));
  timer->start();
  TimerId id = nextTimer_++;
  timers_[id] = timer;
  return id;
}

void QtEventLoop::StopTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();  // the tick that stops its own timer is still running
  timers_.erase(it);
}

void QtEventLoop::RunUntil(const std::function<bool()>& done) {
  quit_ = false;
  while (!quit_ && !done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtEventLoop::Quit() {
  quit_ = true;
  Post([] {});  // wakes a loop waiting for events
}

bool QtEventLoop::IsUiThread() const {
  return QThread::currentThread() == QCoreApplication::instance()->thread();
}

}  // namespace dudivizo::ui
