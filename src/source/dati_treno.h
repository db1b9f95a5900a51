#pragma once

#include "source/line_table.h"

struct RunState;

/// The train service of the scenario's train, 49 lines.
LineTable train_service_lines();
/// Writes the train service file into the program directory.
void dati_treno(const RunState& state);
