#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// Name of the slowdown order: the line key, "_", the train number, then "_rallentamenti.txt".
std::string slowdown_order_name(const std::string& line_key, const std::string& train_number);

/// The slowdown order for train 148: 46 constant lines, then the end marker.
LineTable slowdown_order_lines();

/// Writes the slowdown order into the program directory; only its name follows the run state.
void dati_rallentamenti(const RunState& state);
