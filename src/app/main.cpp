// dudivizo: the desktop client. Reads no command line and no environment;
// its configuration lives in the files beside the executable.

#include <QApplication>
#include <QSocketNotifier>

#include <sys/socket.h>
#include <unistd.h>
#include <csignal>

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
    shell.Terminate();
  });
  std::signal(SIGTERM, OnTerminate);
  std::signal(SIGINT, OnTerminate);

  shell.Start();
  loop.RunUntil([&] { return !shell.HasWindows(); });
  return 0;
}
