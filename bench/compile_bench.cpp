// The compiler's driver and the binary writers, on the scenario and on the largest line.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

#include "large_scenario.h"
#include "output/memorizza_percorso.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"

namespace {

/// Writes the two sources into a directory, runs memorizza_percorso (which reads and deletes them and
/// writes the three binary files), and counts the bytes written.
void compile_in_directory(benchmark::State& bench, const std::string& line, const std::string& service) {
  char pattern[] = "/tmp/compile-bench-XXXXXX";
  const std::string directory = mkdtemp(pattern);
  std::size_t written = 0;
  for (auto _ : bench) {
    bench.PauseTiming();
    std::ofstream(path_in(directory, line_source_name("K")), std::ios::binary) << line;
    std::ofstream(path_in(directory, service_source_name("K", "1")), std::ios::binary) << service;
    RunState state;
    state.program_directory = directory;
    state.line_key = std::string("K");
    state.train_number = std::string("1");
    bench.ResumeTiming();
    int32_t j = 1;
    memorizza_percorso(state, j);
    bench.PauseTiming();
    if (state.error.code != 0) bench.SkipWithError("the compilation left an error code");
    written = 0;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) written += entry.file_size();
    bench.ResumeTiming();
  }
  bench.SetBytesProcessed(static_cast<int64_t>(bench.iterations() * written));
  bench.counters["output_bytes"] = static_cast<double>(written);
  std::filesystem::remove_all(directory);
}

void BM_Scenario(benchmark::State& bench) {
  compile_in_directory(bench, encode_lines(line_description_lines()), encode_lines(train_service_lines()));
}
BENCHMARK(BM_Scenario)->Unit(benchmark::kMillisecond);

void BM_LargestLine(benchmark::State& bench) {
  const LargeScenario large = large_scenario();
  compile_in_directory(bench, large.line, large.service);
}
BENCHMARK(BM_LargestLine)->Unit(benchmark::kMillisecond);

}  // namespace
