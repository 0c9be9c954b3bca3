#include "bench_main.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

namespace dudivizo::bench {
namespace {

std::vector<std::pair<std::string, std::string>>& Comparisons() {
  static std::vector<std::pair<std::string, std::string>> comparisons;
  return comparisons;
}

// Console output plus the real time per iteration of every run, by name.
class RecordingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      // With repetitions the median stands for the benchmark.
      bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (median) {
        seconds_[run.run_name.str()] = run.GetAdjustedRealTime() / TimeUnitDivisor(run.time_unit);
        medians_.insert(run.run_name.str());
      } else if (run.run_type == Run::RT_Iteration && run.iterations > 0 &&
                 medians_.count(run.benchmark_name()) == 0) {
        seconds_[run.benchmark_name()] =
            run.real_accumulated_time / static_cast<double>(run.iterations);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    for (const auto& [name, baseline] : Comparisons()) {
      for (const auto& [runName, time] : seconds_) {
        if (runName.rfind(name + "/", 0) != 0) continue;
        std::string size = runName.substr(name.size());
        auto base = seconds_.find(baseline + size);
        if (base == seconds_.end() || base->second <= 0) continue;
        if (time < base->second) {
          std::printf("%s%s: %.2f ms, %.0f times faster than %s (%.1f ms)\n", name.c_str(),
                      size.c_str(), time * 1e3, base->second / time, baseline.c_str(),
                      base->second * 1e3);
        } else {
          std::printf("%s%s: %.1f ms, %.2f x %s (%.1f ms)\n", name.c_str(), size.c_str(),
                      time * 1e3, time / base->second, baseline.c_str(), base->second * 1e3);
        }
      }
    }
  }

 private:
  static double TimeUnitDivisor(benchmark::TimeUnit unit) {
    switch (unit) {
      case benchmark::kNanosecond:
        return 1e9;
      case benchmark::kMicrosecond:
        return 1e6;
      case benchmark::kMillisecond:
        return 1e3;
      default:
        return 1;
    }
  }

  std::map<std::string, double> seconds_;
  std::set<std::string> medians_;
};

}  // namespace

void CompareTo(const std::string& name, const std::string& baseline) {
  Comparisons().emplace_back(name, baseline);
}

}  // namespace dudivizo::bench

int main(int argc, char** argv) {
  std::vector<char*> args;
  static char filter[] = "--benchmark_filter=/1000(/|$)";
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--smoke") == 0) {
      args.push_back(filter);
    } else {
      args.push_back(argv[i]);
    }
  }
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
  dudivizo::bench::RecordingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
