#pragma once

// The numbers of scales and axes: round steps, and values as texts.

#include <string>

/// The smallest of 1, 2, 5 times a power of ten that is at least `raw` (1 when `raw` is not positive).
double nice_at_least(double raw);

/// The largest of 1, 2, 5 times a power of ten that is at most `raw` (1 when `raw` is not positive).
double nice_at_most(double raw);

/// A value with `decimals` digits after the point, never "-0".
std::string fixed(double value, int decimals);
