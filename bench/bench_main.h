#pragma once
// A shared main for the benchmark programs. Besides Google Benchmark's own
// flags it takes --smoke (run only the smallest size, once, to prove the
// benchmark still works) and prints, after the run, each benchmark's time as
// a ratio to its registered baseline.

#include <string>

namespace dudivizo::bench {

// Reports the time of `name` (full benchmark name without the size) as a
// ratio to `baseline` at every size both ran at.
void CompareTo(const std::string& name, const std::string& baseline);

}  // namespace dudivizo::bench
