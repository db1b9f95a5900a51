#pragma once

#include <string>

#include "scenario/scenario_table.h"

/// The scenario table for people, one item per line, each line ended by "\n": every record in use,
/// headed by its role (a station, an information board, a kilometric reference, the train, the line,
/// the service), with the fields of its role and any other that is set.
std::string describe_table(const ScenarioTable& table);
