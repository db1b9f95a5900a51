#pragma once

#include <string_view>

#include "source/line_table.h"

struct ScenarioModel;
class TrackGrid;

/// The timetable card of a compiled scenario, in the layout of the card of train 148. The train number;
/// the route from the first station to the last; one row per station in timetable order with its
/// kilometric progressive and its time (the first station's as its departure, the last one's as its
/// arrival, the others' as both); the line speed at the first station in its row, and each change of
/// the line speed between the first and the last station in a row of its own at its kilometre (in the
/// station's row when it changes there). The braked-mass percentage beside the route when the service
/// gives one. What the sources do not hold (the speed marks, the classification, the mass, the recovery
/// times) is left blank to fill by hand.
LineTable timetable_card_for(const ScenarioModel& model, const TrackGrid& grid, std::string_view train_number);
