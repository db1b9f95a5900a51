#include "output/memorizza_percorso.h"

#include "compiler/memorizza_dati.h"
#include "output/binary_files.h"
#include "scenario/run_state.h"

int32_t memorizza_percorso(RunState& state, int32_t& j) {
  state.trace_flag = j;
  const CompileOutcome outcome = memorizza_dati(state);
  if (outcome.taken != 0) return outcome.taken;
  if (outcome.writable(state)) write_binary_files(state);
  return 0;
}
