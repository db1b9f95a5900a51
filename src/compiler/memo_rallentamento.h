#pragma once

#include <cstdint>
#include <optional>

struct RunState;
class TrackGrid;

/// The position whose cell a slowdown would need outside the grid, if any: `x` for its start, warning
/// and approach cells, `x` + `l` for its end (the start is looked at first). A sum beyond 32 bits is a
/// ReadFailure.
std::optional<int32_t> slowdown_outside_grid(const TrackGrid& grid, int32_t x, int32_t l, int32_t f_ta);

/// Places one slowdown from `x` over `l` metres: its end, start and (for x above 1500) warning cell
/// 1200 m before the start, and with `f_ta` the four approach cells before the warning cell. Tests run
/// warning (17), start (18), end (19), then approach (20); a refusal returns at once, and on 20 the end,
/// start and warning cells stay written. A cell outside the grid sets 15 with its position before
/// anything is written. The error position of codes 17 to 20 is the caller's.
void memo_rallentamento(RunState& state, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt, int32_t f_ta,
                        int32_t& d_v);
