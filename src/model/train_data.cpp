#include "model/train_data.h"

TrainData read_train_data(const ScenarioTable& table) {
  const ScenarioRecord& train = table[kTrainRecord];
  const ScenarioRecord& service = table[kServiceRecord];
  TrainData data;
  data.braked_mass_percentage = train.number1;
  data.cars = train.number3;
  data.sand = service.short1;
  data.clock_hours = service.short3;
  data.clock_minutes = service.short4;
  data.clock_seconds = service.short5;
  return data;
}
