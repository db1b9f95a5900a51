#pragma once

#include <cstdint>

struct RunState;

/// Readies the run state for a compilation: the trace flag from `j`, error code 0, every record of the
/// scenario table cleared.
void prepare_compilation(RunState& state, int32_t j);

/// Completes a compiled grid: the finishing pass, then the markers and competition codes. Returns 0, or
/// 1250 / 1251 when a reserved place of the output was already taken. Needs the grid.
int32_t finish_scenario(RunState& state);

/// The compiler's driver for the run: prepares, reads both sources from the program directory, finishes
/// the grid, stamps the codes and writes the binary files. Returns 0, or 1250 / 1251 when a reserved
/// place of the output was already taken: then no binary file is written, and the caller reports the
/// number through errore. When the line description gave no grid there is nothing to finish or write.
int32_t memorizza_percorso(RunState& state, int32_t& j);
