#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// The slowdown order for train 148: 46 constant lines, then the end marker.
LineTable slowdown_order_lines();

/// Writes the slowdown order into the program directory; only its name follows the run state.
void dati_rallentamenti(const RunState& state);
