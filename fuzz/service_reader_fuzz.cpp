// The train service reader on any text, over the grid that the scenario's own line description gives.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "compiler/line_reader.h"
#include "compiler/service_reader.h"
#include "fuzz_check.h"
#include "run_state_checks.h"
#include "scenario/read_failure.h"
#include "scenario/run_state.h"
#include "source/dati_linea.h"
#include "source/line_table.h"

namespace {

/// The run state after the scenario's line description, without the plan trace (the service does not
/// use it).
const RunState& line_state() {
  static const RunState state = [] {
    RunState s;
    s.line_key = "Lesca-Varo";
    s.train_number = "148";
    s.trace_flag = 0;
    const std::string line = encode_lines(line_description_lines());
    FUZZ_CHECK(read_line_description(s, line));
    FUZZ_CHECK(s.error.code == 0);
    return s;
  }();
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  line_state();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const int lines = source_lines(text);
  RunState state = line_state();
  const int32_t cells = state.grid.cellCount();
  try {
    read_train_service(state, text);
    if (state.error.place) {
      FUZZ_CHECK(state.error.place->source == SourceKind::Service);
      check_source_place(*state.error.place, lines);
    }
  } catch (const ReadFailure& failure) {
    FUZZ_CHECK(failure.place().source == SourceKind::Service);
    check_source_place(failure.place(), lines);
  }
  FUZZ_CHECK(state.grid.cellCount() == cells);
  check_run_state(state);
  return 0;
}
