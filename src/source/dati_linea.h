#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// The line description of the scenario's line, 115 lines.
LineTable line_description_lines();
/// Writes the line description file into the program directory.
void dati_linea(const RunState& state);
