#pragma once

#include <cstdint>

struct RunState;

/// Places one slowdown from `x` over `l` metres: its end, start and (for x above 1500) warning cell
/// 1200 m before the start, and with `f_ta` the four approach cells before the warning cell. Tests run
/// warning (17), start (18), end (19), then approach (20); a refusal returns at once, and on 20 the end,
/// start and warning cells stay written. Each cell is checked against the grid when its step is reached: one
/// outside sets 15 with its position (`x`, or `x` + `l` for the end) and returns like a refusal. The
/// error position of codes 17 to 20 is the caller's. The cells are those of slowdown_cells(). The
/// parameters are the format's own: `x` and `f_ta` by value, the others by reference.
void memo_rallentamento(RunState& state, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta, int32_t& d_v);
