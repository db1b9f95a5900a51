#pragma once

#include <cstdint>

struct RunState;

/// The compiler's driver for the run: prepares, reads both sources from the program directory, finishes
/// the grid, stamps the codes and writes the binary files. Returns 0, or 1250 / 1251 when a reserved
/// place of the output was already taken: then no binary file is written, and the caller reports the
/// number through errore. When the line description gave no grid there is nothing to finish or write.
int32_t memorizza_percorso(RunState& state, int32_t& j);
