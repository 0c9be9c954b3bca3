// Cold start of the real dudivizo binary on Qt's offscreen platform: time
// from spawn until the sign-in window is being shown (its instance socket
// appears, created right before the window is shown) and resident memory
// once it stands there.

#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_main.h"

namespace {

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

void ColdStart(benchmark::State& state) {
  char pattern[] = "/tmp/dudivizo-bench-XXXXXX";
  std::string dir = ::mkdtemp(pattern);
  std::filesystem::copy_file(DUDIVIZO_BINARY, dir + "/dudivizo");
  std::filesystem::permissions(dir + "/dudivizo", std::filesystem::perms::owner_all);
  std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "HOME=" + dir,
                                  "XDG_RUNTIME_DIR=" + dir};
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string program = dir + "/dudivizo";
  char* argv[] = {program.data(), nullptr};
  double rssMb = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) {
      state.SkipWithError("spawn failed");
      break;
    }
    bool up = false;
    while (!up && std::chrono::steady_clock::now() - start < std::chrono::seconds(10)) {
      for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().extension() == ".sock") up = true;
      }
      if (!up) std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    state.PauseTiming();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    rssMb = ResidentKb(pid) / 1024.0;
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    state.ResumeTiming();
    if (!up) state.SkipWithError("the window never came up");
  }
  state.counters["rss_MB"] = rssMb;
  std::filesystem::remove_all(dir);
}

BENCHMARK(ColdStart)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
