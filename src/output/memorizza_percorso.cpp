#include "output/memorizza_percorso.h"

#include <string>

#include "compiler/competition_codes.h"
#include "compiler/finishing_pass.h"
#include "compiler/memorizza_dati.h"
#include "output/binary_files.h"
#include "scenario/run_state.h"

void prepare_compilation(RunState& state, int32_t j) {
  state.trace_flag = j;
  state.error_code = 0;
  state.error_position.reset();
  state.error_place.reset();
  for (ScenarioRecord& record : state.table) record = ScenarioRecord{};
}

int32_t finish_scenario(RunState& state) {
  finishing_pass(state);
  return stamp_codes(state);
}

int32_t memorizza_percorso(RunState& state, int32_t& j) {
  prepare_compilation(state, j);
  memorizza_dati(state);
  if (!state.grid.exists()) return 0;
  if (const int32_t taken = finish_scenario(state); taken != 0) return taken;
  write_binary_files(state);
  return 0;
}
