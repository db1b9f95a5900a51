#include "compiler/error_report.h"

#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

std::string metres(int64_t value) { return std::to_string(value) + " m"; }

std::string source_name(SourceKind source) {
  return source == SourceKind::Line ? "the line description" : "the train service";
}

}  // namespace

std::string cell_text(int64_t cell) {
  // The cell may lie outside the grid (a position beyond it): 64-bit metres, as object_metre gives them.
  return "cell " + std::to_string(cell) + " (" + metres((cell - 1) * kCellLength) + ")";
}

Occupant occupant_of(const RunState& state, int64_t cell) {
  if (!state.grid.contains(cell)) return {"nothing: it lies outside the grid", std::nullopt};
  const auto index = static_cast<int32_t>(cell);
  const TrackCell& held = state.grid[index];
  const CellOrigin& origin = state.grid.origin(index);
  const bool known = static_cast<bool>(origin.place);
  const std::string at = known ? " at " + metres(origin.position) : "";
  std::string what;
  switch (held.cell_kind()) {
    case CellKind::Signal:
      what = "the signal" + at;
      break;
    case CellKind::SlowdownEnd:
      what = "the end of the slowdown" + (known ? " that starts" + at : "");
      break;
    case CellKind::SlowdownStart:
      what = "the start of the slowdown" + at;
      break;
    case CellKind::SlowdownWarning:
      what = "the warning mark 1200 m before the slowdown" + at;
      break;
    case CellKind::SlowdownApproach:
      what = "an approach mark of the slowdown" + at;
      break;
    case CellKind::SpeedBoard:
      what = "the speed board" + at;
      break;
    case CellKind::StationMark:
      what = "the mark of the station" + at;
      break;
    case CellKind::ControlPoint:
    case CellKind::ControlPointNoValue:
      what = origin.by_finishing_pass ? "a control point placed for the slowdown" + at : "the speed cut" + at;
      break;
    case CellKind::InfoBoard:
      what = "the information board" + at;
      break;
    case CellKind::Plain:
    case CellKind::MountainMarker:
      return {"nothing", std::nullopt};
    default:
      what = "an object of kind " + std::to_string(held.kind);
      break;
  }
  if (!known) return {what, std::nullopt};
  Occupant occupant;
  occupant.description =
      what + " (" + source_name(origin.place.source) + ", line " + std::to_string(origin.place.line) + ")";
  occupant.related = RelatedPlace{origin.place, "this entry's object holds " + cell_text(cell)};
  return occupant;
}

std::string name_occupant(Refusal& refusal, const RunState& state, int64_t cell) {
  Occupant occupant = occupant_of(state, cell);
  refusal.cell = cell;
  if (occupant.related) refusal.related.push_back(std::move(*occupant.related));
  return occupant.description;
}

namespace {

/// The cell an error position speaks of, when the refusal does not name it: the finishing pass gives
/// cell x 50, the readers the position of a single object.
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
  diagnostic.position = refusal.shown_position ? refusal.shown_position : refusal.position;
  if (refusal.cell)
    diagnostic.cell = refusal.cell;
  else if (refusal.position)
    diagnostic.cell = cell_of(refusal.code, *refusal.position);
  diagnostic.message = error_meaning(refusal.code);
  diagnostic.detail = std::move(refusal.detail);
  diagnostic.related = std::move(refusal.related);
  state.diagnostics.add(std::move(diagnostic));
}
