#pragma once

#include <ostream>
#include <string_view>

#include "scenario/scenario_table.h"

/// The scenario table for people, one item per line, each line ended by "\n", written as it is made:
/// every record in use, headed by its role in the author's units (a station with its kilometre,
/// platform and time, an information board, a kilometric reference with its flag explained, the train,
/// the line, the service), then its stored fields: those of its role, and any other that is set.
void describe_table(const ScenarioTable& table, std::ostream& out);

/// The role of a record, by its index and content: kStationRole, "information board" or "free" (a record
/// of 1 to 80 that holds nothing), kKilometricRole, "train and line", "line", "service", or "unused"
/// (record 0, which the compiler never fills).
std::string_view record_role(const ScenarioTable& table, int index);
inline constexpr std::string_view kStationRole = "station";
inline constexpr std::string_view kKilometricRole = "kilometric reference";
