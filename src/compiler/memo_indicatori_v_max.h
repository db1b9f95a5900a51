#pragma once

#include <cstdint>

struct RunState;

/// Records a maximum-speed board at `posizione` in cell round(posizione / 50 + 1), packing the speeds
/// of both sides and the stripe counts into the cell's four values. An occupied cell is refused with
/// error code 21 and nothing is written. The caller has checked that the cell lies in the grid.
void memo_indicatori_v_max(RunState& state, int32_t posizione, int32_t& vas, int32_t& vbs, int32_t& vcs,
                           int16_t& strisces, int32_t& vad, int32_t& vbd, int32_t& vcd, int16_t& strisced);
