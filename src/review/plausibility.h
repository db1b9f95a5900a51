#pragma once

// What a railway would not run, though the format takes it: the checks that need the whole scenario,
// read back through the model from a compiled grid and table. The values an entry holds by itself (the
// train's data, a line speed of 0) are checked where they are read (compiler/service_reader.cpp).

#include "motion/scenario_line.h"
#include "scenario/run_state.h"

/// Adds the plausibility warnings of a compiled scenario, each at the entry of the object it concerns:
/// station times that go backwards or stand still (station-time-order) or pass 23:59:59 (time-past-day);
/// a station, signal or board past the end of the line (beyond-line-end); a platform before 0 m
/// (platform-before-start); a slowdown or speed board of 0 km/h (speed-zero); a speed board whose speed
/// for `rank` is not the line speed after it (board-line-speed); a signal inside a platform
/// (signal-in-platform); a slowdown over a platform (slowdown-on-platform); an information board whose
/// kilometre text is not the progressive where it stands (kilometric-text). Nothing after an error of the
/// compilation, or when the grid stands in for a refused line length.
void add_plausibility_warnings(RunState& state, TrainRank rank = TrainRank::C);
