#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// Name of the timetable card: the line key, "_", the train number, then "_scheda_treno.txt".
std::string timetable_card_name(const std::string& line_key, const std::string& train_number);

/// The timetable card of train 148: 49 constant lines, then the end marker.
LineTable timetable_card_lines();

/// Writes the timetable card into the program directory; only its name follows the run state.
void dati_scheda(const RunState& state);
