#pragma once

#include <string>

#include "source/line_table.h"

struct RunState;

/// The notes as written in the program, in UTF-8: 28 lines, then the end marker.
LineTable notes_text();

/// The notes as they go to the file: notes_text() in Windows-1252, one byte per character.
LineTable notes_lines();

/// Writes the notes into the program directory; only their name follows the run state.
void dati_note(const RunState& state);
