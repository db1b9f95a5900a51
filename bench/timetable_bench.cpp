// The running-time calculation of a whole service, against the compilation of the same scenario in
// memory, on the largest line and on one ten times shorter: both should grow linearly, the calculation
// staying below the compilation.
#include <benchmark/benchmark.h>

#include "compiler/compile_scenario.h"
#include "large_scenario.h"
#include "review/timetable_review.h"
#include "scenario/run_state.h"

namespace {

RunState compiled(const LargeScenario& large) {
  RunState state;
  state.line_key = std::string("K");
  state.train_number = std::string("1");
  compile_scenario(state, large.line, large.service);
  return state;
}

void BM_CompileInMemory(benchmark::State& bench) {
  const LargeScenario large = large_scenario(static_cast<int>(bench.range(0)));
  for (auto _ : bench) {
    RunState state = compiled(large);
    benchmark::DoNotOptimize(state.grid.cellCount());
  }
}
BENCHMARK(BM_CompileInMemory)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

void BM_TimetableOfTheService(benchmark::State& bench) {
  const RunState state = compiled(large_scenario(static_cast<int>(bench.range(0))));
  if (state.error.code != 0) bench.SkipWithError("the compilation left an error code");
  std::size_t runs = 0;
  for (auto _ : bench) {
    const auto timetable = timetable_of(state, {});
    runs = timetable ? timetable->runs.size() : 0;
    benchmark::DoNotOptimize(runs);
  }
  bench.counters["runs"] = static_cast<double>(runs);
}
BENCHMARK(BM_TimetableOfTheService)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

}  // namespace
