// The node list path: a GBK body as the service sends it, converted to
// UTF-8, parsed, counted and read field by field with the node paths.
// simdjson's raw parse of the same UTF-8 bytes is the practical limit.

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <map>

#include "bench_main.h"
#include "demo/catalogue.h"
#include "platform/gbk.h"
#include "service/json_document.h"

namespace {

using dudivizo::service::JsonDocument;

const std::string& GbkBody(size_t nodes) {
  static std::map<size_t, std::string> bodies;
  auto it = bodies.find(nodes);
  if (it == bodies.end()) {
    std::string utf8 = dudivizo::demo::NodeListJson(dudivizo::demo::GeneratedCatalogue(nodes));
    it = bodies.emplace(nodes, dudivizo::platform::Utf8ToGbk(utf8)).first;
  }
  return it->second;
}

void NodeListPath(benchmark::State& state) {
  const std::string& body = GbkBody(static_cast<size_t>(state.range(0)));
  static const char* const kTextFields[] = {"province", "city", "domain",
                                            "isp",      "url",  "update_time"};
  for (auto _ : state) {
    JsonDocument doc;
    if (!doc.parse(dudivizo::platform::GbkToUtf8(body))) state.SkipWithError("parse failed");
    int n = doc.count("data");
    size_t bytes = 0;
    for (int i = 0; i < n; ++i) {
      std::string prefix = "data[" + std::to_string(i) + "].";
      for (const char* field : kTextFields) bytes += doc.getText(prefix + field).size();
      bytes += static_cast<size_t>(doc.getInt(prefix + "status"));
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * body.size()));
}

void SimdjsonParse(benchmark::State& state) {
  std::string utf8 = dudivizo::platform::GbkToUtf8(GbkBody(static_cast<size_t>(state.range(0))));
  simdjson::padded_string padded(utf8);
  simdjson::dom::parser parser;
  for (auto _ : state) {
    simdjson::dom::element root;
    if (parser.parse(padded).get(root) != simdjson::SUCCESS) state.SkipWithError("parse failed");
    benchmark::DoNotOptimize(root);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * utf8.size()));
}

BENCHMARK(NodeListPath)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(SimdjsonParse)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

const bool kCompared = (dudivizo::bench::CompareTo("NodeListPath", "SimdjsonParse"), true);

}  // namespace
