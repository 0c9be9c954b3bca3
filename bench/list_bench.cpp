// The node list as the main window shows and keeps it: filling the list
// (whole list and a search) from a 100 000-node catalogue, the node list
// file written and read, and the memory the catalogue and its rows take.

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "bench_main.h"
#include "catalogue/download.h"
#include "catalogue/list_view.h"
#include "catalogue/node_files.h"
#include "demo/catalogue.h"
#include "ui/main_window.h"

namespace {

using namespace dudivizo;

// The benchmark thread is the user-interface thread; nothing is ever queued.
class DirectLoop : public ui::EventLoop {
 public:
  void Post(Task task) override { task(); }
  void PostAndWait(Task task) override { task(); }
  void ProcessPending() override {}
  void Pause(int) override {}
  TimerId StartTimer(int, Task) override { return 0; }
  void StopTimer(TimerId) override {}
  void RunUntil(const std::function<bool()>&) override {}
  void Quit() override {}
  bool IsUiThread() const override { return true; }
};

// A catalogue of `nodes` demo nodes with every tenth a favourite and
// latencies spread over 0..199, as a node list file would give them.
catalogue::Groups Catalogue(size_t nodes) {
  catalogue::Groups groups;
  catalogue::ParseNodeList(demo::NodeListJson(demo::GeneratedCatalogue(nodes)), groups, false);
  int i = 0;
  for (auto& g : groups) {
    for (auto& n : g.nodes) {
      n.YanChi = i % 200;
      n.ShouCang = i % 10 == 0;
      ++i;
    }
  }
  return groups;
}

struct ListFixture {
  explicit ListFixture(size_t nodes) {
    catalogue.groups = Catalogue(nodes);
    view.window = &window;
    view.catalogue = &catalogue;
    view.view = &state;
    view.selectedNode = &selected;
    view.selectedItem = &item;
    catalogue::SetupNodeList(window);
  }
  DirectLoop loop;
  ui::MainWindow window{loop};
  catalogue::NodeCatalogue catalogue;
  catalogue::ViewState state;
  catalogue::Node selected;
  catalogue::NodeRef item = 0;
  catalogue::CatalogueView view;
};

void FillAllView(benchmark::State& s) {
  ListFixture f(static_cast<size_t>(s.range(0)));
  for (auto _ : s) catalogue::FillAllView(f.view);
  s.counters["rows"] = static_cast<double>(f.window.超级列表框EX1.rows().size());
}

// A typical search: two city words and a latency range.
void FillSearchView(benchmark::State& s) {
  ListFixture f(static_cast<size_t>(s.range(0)));
  for (auto _ : s) catalogue::FillSearchView(f.view, "深圳 朝阳 延迟:1-50");
  s.counters["rows"] = static_cast<double>(f.window.超级列表框EX1.rows().size());
}

std::string TempFile() {
  const char* tmp = std::getenv("TMPDIR");
  return std::string(tmp && *tmp ? tmp : "/tmp") + "/dudivizo-bench-" + std::to_string(::getpid()) +
         "_JieDianLieBiao.BIN";
}

void SaveNodeFile(benchmark::State& s) {
  catalogue::NodeCatalogue c;
  c.groups = Catalogue(static_cast<size_t>(s.range(0)));
  const std::string path = TempFile();
  for (auto _ : s) catalogue::SaveNodeFile(c, path);
  ::unlink(path.c_str());
}

void LoadNodeFile(benchmark::State& s) {
  catalogue::NodeCatalogue c;
  c.groups = Catalogue(static_cast<size_t>(s.range(0)));
  const std::string path = TempFile();
  catalogue::SaveNodeFile(c, path);
  for (auto _ : s) catalogue::LoadNodeFile(c, path);
  ::unlink(path.c_str());
}

// Heap bytes per node of a catalogue loaded from its file and shown whole
// in the list, measured as the growth of the heap in use.
void MemoryPerNode(benchmark::State& s) {
  const auto nodes = static_cast<size_t>(s.range(0));
  const std::string path = TempFile();
  {
    catalogue::NodeCatalogue c;
    c.groups = Catalogue(nodes);
    catalogue::SaveNodeFile(c, path);
  }
  double perNode = 0;
  for (auto _ : s) {
    malloc_trim(0);
    const size_t before = mallinfo2().uordblks;
    auto f = std::make_unique<ListFixture>(0);
    catalogue::LoadNodeFile(f->catalogue, path);
    catalogue::FillAllView(f->view);
    const size_t after = mallinfo2().uordblks;
    perNode = static_cast<double>(after - before) / static_cast<double>(nodes);
  }
  s.counters["bytes_per_node"] = perNode;
  ::unlink(path.c_str());
}

BENCHMARK(FillAllView)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(FillSearchView)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveNodeFile)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(LoadNodeFile)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(MemoryPerNode)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
