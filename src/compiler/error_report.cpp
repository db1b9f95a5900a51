#include "compiler/error_report.h"

#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// The cell an error position speaks of: the finishing pass gives cell x 50, the readers the
/// position of a single object.
int64_t cell_of(int32_t code, int32_t position) {
  if (code == kErrorSignalControlPoint || code == kErrorSlowdownControlPoint || code == kErrorSlowdownWalk)
    return position / kCellLength;
  if (code == kErrorSpeedCutOccupied) return profile_cell(position);  // a speed cut takes the cell before
  return object_cell(position);
}

}  // namespace

void raise_error(RunState& state, Refusal refusal) {
  state.error = RunError{refusal.code, refusal.position, refusal.place, refusal.detail};
  Diagnostic diagnostic;
  diagnostic.severity = Severity::Error;
  diagnostic.code = refusal.code;
  diagnostic.place = refusal.place;
  diagnostic.position = refusal.position;
  if (refusal.position) diagnostic.cell = cell_of(refusal.code, *refusal.position);
  std::string message(error_meaning(refusal.code));
  if (!refusal.detail.empty()) message += " (" + refusal.detail + ")";
  diagnostic.message = std::move(message);
  diagnostic.related = std::move(refusal.related);
  state.diagnostics.add(std::move(diagnostic));
}
