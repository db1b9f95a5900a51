#pragma once
// Values in the units an author writes them in: kilometres of the line's kilometric references,
// timetable times, and the references themselves.

#include <cstdint>
#include <string>
#include <vector>

#include "model/kilometric.h"
#include "scenario/scenario_table.h"

/// Metres as kilometres with three decimals: "km 28.350", "km -0.050".
std::string km_text(int64_t metres);

/// Seconds from midnight as hh:mm:ss (hours may pass 23; a negative time keeps its sign).
std::string clock_text(int64_t seconds);

/// The kilometric progressive of a metre of the line, in whole metres (model/kilometric.h).
int64_t progressive_at(const std::vector<KilometricReference>& references, int64_t metre);

/// Where a place is for people: "850 m", and ", km 28.150" after it when the table gives references.
std::string place_text(const std::vector<KilometricReference>& references, int64_t metre);

/// What a kilometric reference record means: "from 0 m at km 29.000, counting down (29100 stored:
/// 100 added for flag 1)", or "... counting up" for any other flag.
std::string reference_text(const ScenarioRecord& record);
