#pragma once

#include <cstdint>

#include "scenario/scenario_table.h"

/// What the train service says of its train and of the start of the run, as the table stores it: the
/// number of cars and the braked-mass percentage (record 84), the sand supply and the clock (record 86).
/// Each is 0 when the service gives none.
struct TrainData {
  int32_t cars = 0;
  int32_t braked_mass_percentage = 0;
  int32_t sand = 0;
  /// The clock at the start: hours, minutes, seconds as written.
  int32_t clock_hours = 0;
  int32_t clock_minutes = 0;
  int32_t clock_seconds = 0;

  /// The clock at the start in seconds from midnight (hours x 3600 + minutes x 60 + seconds).
  int64_t clock() const { return int64_t{clock_hours} * 3600 + int64_t{clock_minutes} * 60 + clock_seconds; }
};

TrainData read_train_data(const ScenarioTable& table);
