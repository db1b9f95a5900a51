#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// The timetable card of train 148: 49 constant lines, then the end marker.
LineTable timetable_card_lines();

/// Writes the timetable card into the program directory; only its name follows the run state.
void dati_scheda(const RunState& state);
