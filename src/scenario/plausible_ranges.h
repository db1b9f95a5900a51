#pragma once

#include <cstdint>

// What a railway would run, as the plausibility warnings judge it. These are not limits of the format
// (it stores any of these values); a value outside them is warned of, never refused.

/// Cars of a train: at least one; a long passenger train has 16 to 20, so more than 30 is a slip.
inline constexpr int32_t kFewestCars = 1;
inline constexpr int32_t kMostCars = 30;

/// The braked-mass percentage (braked weight over the train's weight, percent): freight trains run at
/// about 50 to 70, fast passenger trains up to about 200 with magnetic-track brakes; below 30 a train
/// cannot stop on a signal's distance, above 250 no brake reaches.
inline constexpr int32_t kLowestBrakedMass = 30;
inline constexpr int32_t kHighestBrakedMass = 250;

/// The sand supply and the adhesion: 0 means no sand to lay, or wheels that never grip.
inline constexpr int32_t kLeastSand = 1;
inline constexpr int32_t kLeastAdhesion = 1;

/// A speed board announces the line speed from where it stands; the service's line speed may change up to
/// a train's length from it (a train speeds up once its tail has passed the board, and an author may
/// start a lower speed where the train must have braked), metres.
inline constexpr int32_t kBoardReach = 400;

/// An information board names a structure ahead of it (a bridge, a viaduct) and gives the structure's
/// kilometre, a few hundred metres on at most: its text may differ from the progressive where the board
/// stands by this much, metres.
inline constexpr int32_t kKilometricTolerance = 500;
