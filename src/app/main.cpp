// dudivizo: the desktop client. Reads no command line and no environment;
// its configuration lives in the files beside the executable.

#include <QApplication>
#include <QMessageBox>
#include <QPixmap>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>
#include <cstdlib>

#include "app/instance_guard.h"
#include "app/shell.h"
#include "platform/process.h"
#include "service/endpoints.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_view_host.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int) {
  char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  qt.setQuitOnLastWindowClosed(false);  // the shell decides when the program ends
  qt.setWindowIcon(QPixmap::fromImage(dudivizo::ui::ImageOf("dudivizo.ico")));

  dudivizo::app::App app;
  app.runDirectory = dudivizo::platform::RunDirectory();
  app.serviceHost = dudivizo::service::ServiceHost(app.runDirectory);
  dudivizo::ui::QtEventLoop loop;
  dudivizo::ui::QtViewHost views;
  dudivizo::app::Shell shell(app, loop, views);

  // A desktop session ends programs with SIGTERM: leave as a confirmed exit does.
  ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe);
  QSocketNotifier terminate(g_signalPipe[0], QSocketNotifier::Read);
  QObject::connect(&terminate, &QSocketNotifier::activated, [&] {
    char byte;
    [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &byte, 1);
    // A second copy waiting on its notice ends the way OK ends it.
    if (auto* notice = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      notice->close();
      return;
    }
    shell.Terminate();
  });
  std::signal(SIGTERM, OnTerminate);
  std::signal(SIGINT, OnTerminate);

  // One copy per user session. A later copy says so, brings the running
  // copy's visible window to the front and ends.
  dudivizo::app::InstanceGuard guard("9#@kpz7&&m2x81q5306tbv9%40812^!j3w77#eh051mn@!83021&*!@");
  std::unique_ptr<QSocketNotifier> raiseRequests;
  shell.instanceGuard = [&] {
    if (guard.Acquire()) {
      if (guard.listenFd() >= 0) {
        raiseRequests = std::make_unique<QSocketNotifier>(guard.listenFd(), QSocketNotifier::Read);
        QObject::connect(raiseRequests.get(), &QSocketNotifier::activated, [&] {
          guard.HandleRequest([&](pid_t pid) {
            return pid == ::getpid() && (views.Raise(shell.main()) || views.Raise(shell.login()));
          });
        });
      }
      return true;
    }
    QMessageBox box(QMessageBox::NoIcon, "友情提醒:", "软件已运行", QMessageBox::Ok);
    box.exec();
    pid_t running = dudivizo::app::FindProcessByName(dudivizo::app::OwnExecutableName());
    if (running != 0 && running != ::getpid()) guard.RequestRaise(running, 100);
    return false;
  };

  shell.Start();
  loop.RunUntil([&] { return !shell.HasWindows(); });
  // Every file is written by now. A login or download worker still waiting
  // for the service would touch the state and the loop after they are gone, so end
  // without tearing them down.
  if (app.loginBusy || app.downloadBusy) std::_Exit(0);
  return 0;
}
