#pragma once

#include <string>

#include "scenario/track_grid.h"

/// The track grid for people, one item per line, each line ended by "\n": the runs of each profile
/// quantity in its unit, then every cell with an object, a value or an approach mark, with the values
/// its kind uses and any other that is set.
std::string describe_grid(const TrackGrid& grid);
