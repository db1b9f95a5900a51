#pragma once

#include <cstdint>

struct RunState;

/// Speed that the finishing pass gives every control point it places, and the most it leaves on one.
inline constexpr int16_t kControlPointSpeed = 180;
/// A slowdown slower than this is walked, with a control point every kWalkStep cells along it.
inline constexpr int16_t kWalkedSlowdownSpeed = 110;
inline constexpr int32_t kWalkStep = 8;
/// Step A looks back this many cells before a slowdown warning, never below cell kLookBackFloor.
inline constexpr int32_t kLookBackCells = 20;
inline constexpr int32_t kLookBackFloor = 3;
/// Step B5 looks for a signal in the cells from the slowdown's end to this many after it.
inline constexpr int32_t kSignalSearchCells = 12;

/// The smaller of two values; `x` when they are equal.
constexpr int16_t minimo(int16_t x, int16_t y) { return x > y ? y : x; }

/// Completes the grid with control points (kind 12, speed 180). Cells 1 to cellCount - 2 are visited
/// once each in increasing order:
///   A   at a slowdown warning, before every signal in the 20 cells behind it (error 11 when no room);
///   at a slowdown start:
///   B1  in the first free of the cells 5 to 7 before it, B2 11 to 13 before it, B3 18 to 20 before it
///       (error 12 when no room);
///   B4  below 110 km/h, every 8 cells along the slowdown (error 13 when no room);
///   B5  just before the first signal within 12 cells of the slowdown's end (error 13 when no room).
/// A slowdown without its end cell sets error 13 at the last cell. The pass never stops early, never
/// reads outside the grid, and leaves the walk index `state.h` on the end of the last slowdown (the
/// last cell when that slowdown has no end). Does nothing without a grid.
void finishing_pass(RunState& state);
