#pragma once

#include <string_view>

struct RunState;

/// Reads a train service into the grid and the scenario table (the second half of memorizza_dati),
/// after the line description. Leaves the error code in the run state; a read failure leaves as
/// ReadFailure.
void read_train_service(RunState& state, std::string_view text);
