#pragma once

#include <cstdint>
#include <vector>

#include "scenario/scenario_table.h"

/// A kilometric reference of the table: from `start` metres on, the progressive is `progressive` there
/// and changes by `direction` (+1 or -1) per metre.
struct KilometricReference {
  int32_t start = 0;
  int64_t progressive = 0;  // wider than the stored value, which may lie at the bottom of 32 bits
  int direction = 1;
};

/// The kilometric references in use (records 81 to 83 that are not all zero), by increasing start. A
/// reference whose flag is kKilometricCountingDown counts down from its value less the
/// kKilometricFlagAddition that reading added for the flag; any other flag counts up from its value.
std::vector<KilometricReference> kilometric_references(const ScenarioTable& table);

/// The progressive at a metre of the line, in metres: from the reference with the greatest start at or
/// before the metre (the first one before all starts); the metre itself when there is no reference.
double kilometric_progressive(const std::vector<KilometricReference>& references, double metre);
