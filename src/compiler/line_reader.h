#pragma once

#include <string_view>

struct RunState;

/// Reads a line description into the grid, the trace and the scenario table (the first half of
/// memorizza_dati). Leaves the error code in the run state; a read failure leaves as ReadFailure.
/// Returns true when the reading ended without a hard error, so that the train service is read next
/// (error code 0, or the soft 15).
bool read_line_description(RunState& state, std::string_view text);
