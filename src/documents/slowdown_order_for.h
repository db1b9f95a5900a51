#pragma once

#include <string_view>

#include "source/line_table.h"

struct ScenarioModel;

/// The slowdown order of a compiled scenario, in the layout of the order for train 148: the line key and
/// the train number, then one row per slowdown in line order with its number, where it begins (between
/// the two stations around it, "A-B"; in a station when it begins on the station's platform, "A"; before
/// the first or after the last station, "prima di A" or "dopo A"), the kilometric progressive of its
/// start, its speed and its length. The prescriptions, and the station that prescription B names, are
/// left blank to fill by hand.
LineTable slowdown_order_for(const ScenarioModel& model, std::string_view line_key, std::string_view train_number);
