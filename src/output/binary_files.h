#pragma once

struct RunState;

/// Writes the scenario's binary files into `state.program_directory`, each replaced atomically in one
/// write: the plan trace (only when the trace flag is non-zero), the scenario table, then the grid. A
/// file that cannot be written throws FileError; the files written before it stay.
void write_binary_files(const RunState& state);
