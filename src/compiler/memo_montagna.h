#pragma once

#include <cstdint>

struct RunState;

/// Records a mountain stretch from `inizio` to `fine` of type `tipo`: sets the mountainType of cells
/// round(inizio / 50) to round(fine / 50 - 1), and with a type above 10 (10 is taken off `tipo`) puts a
/// mountain marker on every 4th plain cell of the stretch. A stretch starting at most 150 m after the
/// previous one's end gets type 3. The caller has checked that these cells lie in the grid. An 81st
/// stretch is refused with error code 105 and nothing is written.
void memo_montagna(RunState& state, int32_t& inizio, int32_t& fine, int32_t& tipo);
