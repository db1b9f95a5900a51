#pragma once

#include <cstdint>
#include <optional>

struct RunState;
class TrackGrid;

/// The position whose cell a signal at `posizione` would need outside the grid, if any (the signal's
/// own cell; approach marks that would fall before cell 0 are skipped, not refused).
std::optional<int32_t> signal_outside_grid(const TrackGrid& grid, int32_t posizione);

/// Places one signal: its cell round(posizione / 50 + 1) becomes a Signal with the packed values, and
/// the cells 2, 4, 6 and 8 before it get approach marks. `tempo` from 1 to 100 becomes 101 in the
/// caller's variable. Sets error code 16 when the cell is taken, 15 when it lies outside the grid
/// (with that position); nothing is written then. The error position of code 16 is the caller's. The
/// parameters are the format's own: `posizione` by value, the ten values of the entry by reference.
void memo_segnale(RunState& state, int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2, int32_t& s3, int32_t& rapp,
                  int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3, int32_t& tempo);
