#pragma once

#include <string_view>

struct RunState;

/// Copies the line key and the train number into their records of the scenario table; the first step
/// of every reading, even one that finds no line description.
void store_identity(RunState& state);

/// Reads a line description into the grid, the trace and the scenario table (the first half of
/// memorizza_dati). Leaves the error code in the run state; a read failure leaves as ReadFailure.
/// Returns true when the reading ended without a hard error, so that the train service is read next
/// (error code 0, or the soft 15).
bool read_line_description(RunState& state, std::string_view text);
