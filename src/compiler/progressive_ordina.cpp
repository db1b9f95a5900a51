#include "compiler/progressive_ordina.h"

#include "scenario/checked_arithmetic.h"
#include "scenario/run_state.h"

namespace {

struct Reference {
  int32_t start = 0;
  int32_t value = 0;
  int32_t flag = 0;
  SourcePlace place;  // the entry that gave it, for the messages
};

Reference reference_of(const RunState& state, int index) {
  const ScenarioRecord& record = state.table[static_cast<std::size_t>(index)];
  return {record.number1, record.number2, record.number3,
          state.kilometric_places[static_cast<std::size_t>(index - kKilometricTreRecord)]};
}

void store(RunState& state, int index, const Reference& reference) {
  ScenarioRecord& record = state.table[static_cast<std::size_t>(index)];
  record.number1 = reference.start;
  record.number2 = reference.value;
  record.number3 = reference.flag;
  state.kilometric_places[static_cast<std::size_t>(index - kKilometricTreRecord)] = reference.place;
}

}  // namespace

void progressive_ordina(RunState& state) {
  const Reference tre = reference_of(state, kKilometricTreRecord);
  const Reference due = reference_of(state, kKilometricDueRecord);
  const Reference uno = reference_of(state, kKilometricUnoRecord);
  const Reference none{};
  const int32_t t = tre.start;
  const int32_t d = due.start;
  const int32_t u = uno.start;

  Reference first = tre, second = due, third = uno;
  if (add32(add32(t, d), u) != 0) {
    if (t > d && t > u) {
      first = tre;
      second = u < d ? due : uno;
      third = u < d ? uno : due;
    } else if (d > t && d > u) {
      first = due;
      second = u < t ? tre : uno;
      third = u < t ? uno : tre;
    } else if (u > t && u > d) {
      first = uno;
      second = d < t ? tre : due;
      third = d < t ? due : tre;
    } else {
      first = second = third = none;
    }
  } else {
    if (tre.value < 1) first = second = third = none;
    if (due.value > 0) {
      first = due;
      second = tre;
      third = uno;
    }
    if (uno.value > 0) {
      first = uno;
      second = due;
      third = tre;
    }
  }
  for (Reference* reference : {&first, &second, &third})
    if (reference->flag == kKilometricCountingDown) reference->value = add32(reference->value, kKilometricFlagAddition);
  store(state, kKilometricTreRecord, first);
  store(state, kKilometricDueRecord, second);
  store(state, kKilometricUnoRecord, third);
}
