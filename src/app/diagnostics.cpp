#include "app/diagnostics.h"

#include "compiler/field_reader.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// The source line of a place and a caret under its column; tabs are kept so the caret lines up.
std::string quote_place(const SourceFile& file, SourcePlace place) {
  const FieldReader reader(file.text, place.source);
  const std::string line(reader.line_text(place.line));
  std::string caret;
  for (int column = 1; column < place.column; ++column) {
    const auto index = static_cast<std::size_t>(column - 1);
    caret += index < line.size() && line[index] == '\t' ? '\t' : ' ';
  }
  return line + "\n" + caret + "^\n";
}

std::string place_prefix(const SourceFile& file, SourcePlace place) {
  return file.name + ":" + std::to_string(place.line) + ":" + std::to_string(place.column) + ": ";
}

/// The cell an error position speaks of: the finishing pass gives cell x 50, the readers the
/// position of a single object.
int64_t cell_of(int32_t code, int32_t position) {
  if (code == kErrorSignalControlPoint || code == kErrorSlowdownControlPoint || code == kErrorSlowdownWalk)
    return position / kCellLength;
  if (code == kErrorSpeedCutOccupied) return profile_cell(position);  // a speed cut takes the cell before
  return object_cell(position);
}

/// The source an error without a place concerns.
SourceKind source_of(int32_t code) {
  switch (code) {
    case kErrorSignalControlPoint:
    case kErrorSlowdownControlPoint:
    case kErrorSlowdownWalk:
    case kErrorStationRecords:
    case kErrorMarkerTaken:
    case kErrorCodeTaken:
      return SourceKind::Service;
    default:
      return SourceKind::Line;
  }
}

}  // namespace

std::string format_error(const RunState& state, const Sources& sources) {
  const int32_t code = state.error_code;
  std::string message = "error E" + std::to_string(code) + ": " + error_meaning(code);
  if (!state.error_detail.empty()) message += " (" + state.error_detail + ")";
  if (state.error_position)
    message += " (at " + std::to_string(*state.error_position) + " m, cell " +
               std::to_string(cell_of(code, *state.error_position)) + ")";
  if (state.error_place) {
    const SourceFile& file = sources.of(state.error_place->source);
    return place_prefix(file, *state.error_place) + message + "\n" + quote_place(file, *state.error_place);
  }
  return sources.of(source_of(code)).name + ": " + message + "\n";
}

std::string format_warning(const SourceWarning& warning, const Sources& sources) {
  const SourceFile& file = sources.of(warning.place.source);
  return place_prefix(file, warning.place) + "warning: " + warning.message + "\n" + quote_place(file, warning.place);
}
