#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scenario/diagnostics.h"
#include "scenario/source_place.h"

struct RunState;

/// An error found by the compilation: its code, and what goes with it.
struct Refusal {
  explicit Refusal(int32_t code, std::optional<int32_t> position = std::nullopt,
                   std::optional<SourcePlace> place = std::nullopt, std::string detail = {})
      : code(code), position(position), place(place), detail(std::move(detail)) {}

  int32_t code = 0;
  std::optional<int32_t> position;   // metres: the run's error position
  std::optional<SourcePlace> place;  // the field that gave it
  std::string detail;                // why, in this case (a read failure's reason, the occupant of a cell)
  std::vector<RelatedPlace> related;
  /// The cell the error concerns, when it is not the cell of a single object at `position`.
  std::optional<int64_t> cell;
  /// The metres to show for the error, when they are not `position` (the finishing pass keeps cell x 50
  /// as the run's error position, and shows the metres of the cell).
  std::optional<int32_t> shown_position;
};

/// Makes `refusal` the run's error (replacing an earlier one, as the format does) and reports it to the
/// diagnostics. The same error again (same code, same cell and same place as one already reported) is
/// not reported twice.
void raise_error(RunState& state, Refusal refusal);

/// A cell as messages name it: "cell 62 (3050 m)", the metres being where an object placed in it stands
/// (object_metre).
std::string cell_text(int64_t cell);

/// What holds a taken cell, for the messages about it: "the warning mark of the slowdown at 4250 m",
/// with the place of the entry that put it there when the grid remembers it.
struct Occupant {
  std::string description;
  std::optional<RelatedPlace> related;
};
Occupant occupant_of(const RunState& state, int64_t cell);

/// Adds to `refusal` the cell it concerns and the place of the entry whose object holds it, and gives what
/// holds it: "the signal at 1500 m (the train service, line 2)".
std::string name_occupant(Refusal& refusal, const RunState& state, int64_t cell);
