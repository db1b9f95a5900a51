// The line description reader on any text, with and without the plan trace.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "compiler/line_reader.h"
#include "fuzz_check.h"
#include "run_state_checks.h"
#include "scenario/error_codes.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = source_lines(text);
  for (int32_t trace_flag : {0, 1}) {
    RunState state;
    state.line_key = "Lesca-Varo";
    state.train_number = "148";
    state.trace_flag = trace_flag;
    try {
      const bool service_follows = read_line_description(state, text);
      if (service_follows) {
        FUZZ_CHECK(state.error.code == 0 || state.error.code == kErrorOutOfRange);
        FUZZ_CHECK(state.grid.exists());
      }
      if (state.error.place) {
        FUZZ_CHECK(state.error.place->source == SourceKind::Line);
        check_source_place(*state.error.place, lines);
      }
    } catch (const ReadFailure& failure) {
      FUZZ_CHECK(failure.place().source == SourceKind::Line);
      check_source_place(failure.place(), lines);
    }
    check_run_state(state);
    if (trace_flag == 0) FUZZ_CHECK(!state.trace.exists());
  }
  return 0;
}
