// dudivizo-demo: the demo subscription service as a program of its own.
// Usage: dudivizo-demo [--port N] [--address A] [--slow MS] [--status N]
//                      [--malformed] [--empty]

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "demo/demo_service.h"
#include "service/endpoints.h"

namespace {
volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }
}  // namespace

int main(int argc, char** argv) {
  using dudivizo::demo::Behaviour;
  int port = 18086;
  std::string address = "127.0.0.1";
  Behaviour behaviour;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--port")
      port = std::atoi(value());
    else if (arg == "--address")
      address = value();
    else if (arg == "--slow")
      behaviour.delayMs = std::atoi(value());
    else if (arg == "--status")
      behaviour.status = std::atoi(value());
    else if (arg == "--malformed")
      behaviour.malformed = true;
    else if (arg == "--empty")
      behaviour.empty = true;
    else {
      std::fprintf(stderr,
                   "usage: %s [--port N] [--address A] [--slow MS] [--status N] [--malformed] "
                   "[--empty]\n",
                   argv[0]);
      return 2;
    }
  }
  dudivizo::demo::DemoService service;
  service.SetBehaviourForAll(behaviour);
  if (!service.Start(static_cast<uint16_t>(port), address)) {
    std::fprintf(stderr, "dudivizo-demo: cannot listen on %s:%d: %s\n", address.c_str(), port,
                 std::strerror(errno));
    return 1;
  }
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::printf("Demo service listening on http://%s\n", service.Host().c_str());
  std::printf("Try: curl -s '%s' | iconv -f GBK -t UTF-8\n",
              dudivizo::service::SignInUrl(service.Host(), "demo", "demo123").c_str());
  std::fflush(stdout);
  while (!g_stop) usleep(200'000);
  service.Stop();
  return 0;
}
