// The whole compilation in memory, checking and compiling: two sources, the finishing pass, the codes and
// the three encoders.
//
// Input: the line description, a NUL byte, then the train service. Without a NUL byte the whole input is
// the line description and the train service is missing.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "compiler/compile_scenario.h"
#include "fuzz_check.h"
#include "run_state_checks.h"
#include "scenario/binary_format.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::optional<std::string_view> line = input;
  std::optional<std::string_view> service;
  if (const auto nul = input.find('\0'); nul != std::string_view::npos) {
    line = input.substr(0, nul);
    service = input.substr(nul + 1);
  }

  const auto lines_of = [&](SourceKind kind) {
    return source_lines(kind == SourceKind::Line ? *line : service.value_or(""));
  };
  const auto check_places = [&](const RunState& state) {
    if (state.error.place) check_source_place(*state.error.place, lines_of(state.error.place->source));
    for (const Diagnostic& diagnostic : state.diagnostics.all())
      if (diagnostic.place) check_source_place(*diagnostic.place, lines_of(diagnostic.place->source));
    check_run_state(state);
  };

  // Checking reads on after every refusal (on a stand-in grid when the line length was refused): it
  // keeps the same promises, and leaves nothing to write.
  {
    RunState checked;
    checked.line_key = "Lesca-Varo";
    checked.train_number = "148";
    const CompileOutcome outcome = compile_scenario(checked, line, service, {.keep_going = true});
    check_places(checked);
    FUZZ_CHECK(!checked.grid_stands_in || !outcome.writable(checked));
  }

  RunState state;
  state.line_key = "Lesca-Varo";
  state.train_number = "148";
  const CompileOutcome outcome = compile_scenario(state, line, service);
  check_places(state);
  FUZZ_CHECK(!state.grid_stands_in);
  const int32_t taken = outcome.taken;
  FUZZ_CHECK(taken == 0 || taken == kErrorMarkerTaken || taken == kErrorCodeTaken);
  if (!outcome.writable(state)) return 0;
  const int32_t cells = state.grid.cellCount();
  FUZZ_CHECK(state.grid[kCodeCell].value1 == kGridMarker);

  // The table and the grid decode back to what was encoded. The trace, by far the largest file and the
  // one whose layout depends least on the input, is only measured: decoding it took most of the time of
  // a run (its encoder and decoder have their own round-trip tests).
  const TrackTrace points = state.trace.points();
  const std::string trace = encode_trace(points);
  StringSink streamed;
  encode_trace_to(state.trace, streamed);
  FUZZ_CHECK(streamed.bytes() == trace);  // made as written, or made whole: the same bytes
  const std::string table = encode_table(state.table);
  const std::string grid = encode_grid(state.grid);
  FUZZ_CHECK(trace.size() >= points.size() * kTraceTagSize);
  FUZZ_CHECK(trace.size() <= points.size() * (kTraceTagSize + kF64Size));
  FUZZ_CHECK(grid.size() == static_cast<std::size_t>(cells + 1) * kCellSize);
  const auto decoded_table = decode_table(table);
  const auto decoded_grid = decode_grid(grid);
  FUZZ_CHECK(decoded_table && decoded_grid);
  FUZZ_CHECK(encode_table(*decoded_table) == table);
  FUZZ_CHECK(encode_grid(*decoded_grid) == grid);
  return 0;
}
