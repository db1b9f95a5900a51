#pragma once

#include <string>

#include "scenario/track_trace.h"

/// The plan trace for people, one item per line, each line ended by "\n": the number of points, how
/// many have both coordinates, one or none, the bounding box and the length of the line through the
/// points that have both.
std::string describe_trace(const TrackTrace& trace);
