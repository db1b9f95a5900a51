#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// Name of the notes: the line key, "_", the train number, then "_note.txt".
std::string notes_name(const std::string& line_key, const std::string& train_number);

/// The notes as written in the program, in UTF-8: 28 lines, then the end marker.
LineTable notes_text();

/// The notes as they go to the file: notes_text() in Windows-1252, one byte per character.
LineTable notes_lines();

/// Writes the notes into the program directory; only their name follows the run state.
void dati_note(const RunState& state);
