// The catalogue's download path without the network (GBK body to merged
// catalogue) and the merge of a full reply into a full catalogue, against
// the merge's plain loops.

#include <benchmark/benchmark.h>

#include <map>

#include "bench_main.h"
#include "catalogue/download.h"
#include "demo/catalogue.h"
#include "platform/clock.h"
#include "platform/gbk.h"
#include "support/reference_merge.h"

namespace {

using namespace dudivizo;

const std::string& Body(size_t nodes) {
  static std::map<size_t, std::string> bodies;
  auto& body = bodies[nodes];
  if (body.empty()) body = platform::Utf8ToGbk(demo::NodeListJson(demo::GeneratedCatalogue(nodes)));
  return body;
}

catalogue::Groups Parsed(size_t nodes) {
  catalogue::Groups groups;
  catalogue::ParseNodeList(platform::GbkToUtf8(Body(nodes)), groups, false);
  return groups;
}

void DownloadToCatalogue(benchmark::State& state) {
  const std::string& body = Body(static_cast<size_t>(state.range(0)));
  for (auto _ : state) {
    catalogue::Groups fresh;
    catalogue::ParseNodeList(platform::GbkToUtf8(body), fresh, false);
    catalogue::Groups known;
    catalogue::MergeNodeList(known, fresh);
    benchmark::DoNotOptimize(known);
  }
}

// Merges a full reply into a catalogue that already holds it, again and
// again; only the merge call itself is timed (copying the reply in and
// freeing what the call leaves of it are not: the download does the
// freeing after it has released the catalogue lock).
template <typename MergeFn>
void RepeatMerge(benchmark::State& state, MergeFn merge) {
  const catalogue::Groups reply = Parsed(static_cast<size_t>(state.range(0)));
  catalogue::Groups known = reply;
  for (auto _ : state) {
    state.PauseTiming();
    catalogue::Groups fresh = reply;
    state.ResumeTiming();
    merge(known, fresh);
    state.PauseTiming();
    catalogue::Groups().swap(fresh);
    state.ResumeTiming();
  }
}

void Merge(benchmark::State& state) {
  RepeatMerge(state, [](auto& known, auto& fresh) { catalogue::MergeNodeList(known, fresh); });
}

void MergePlainLoops(benchmark::State& state) {
  RepeatMerge(state, [](auto& known, auto& fresh) {
    testing::ReferenceMerge(known, fresh, static_cast<int32_t>(platform::TickCount()));
  });
}

BENCHMARK(DownloadToCatalogue)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(Merge)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(MergePlainLoops)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

const bool kCompared = (bench::CompareTo("Merge", "MergePlainLoops"), true);

}  // namespace
