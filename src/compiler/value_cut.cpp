#include "compiler/value_cut.h"

#include <string>

#include "scenario/checked_arithmetic.h"
#include "scenario/run_state.h"

namespace {

std::string cut_message(int64_t value, std::string_view what, int bits, int64_t result) {
  return "value " + std::to_string(value) + " of " + std::string(what) + " cut to its low " + std::to_string(bits) +
         " bits (" + std::to_string(result) + ")";
}

}  // namespace

int16_t cut16(RunState& state, int64_t value, std::string_view what) {
  const int16_t result = low16(value);
  if (result != value) warn(state, WarningKind::ValueCut, state.entry_place, cut_message(value, what, 16, result));
  return result;
}

uint8_t cut8(RunState& state, int64_t value, std::string_view what) {
  const uint8_t result = low8(value);
  if (result != value) warn(state, WarningKind::ValueCut, state.entry_place, cut_message(value, what, 8, result));
  return result;
}

void note_byte_cut(RunState& state, int64_t value, std::string_view what, SourcePlace place) {
  const uint8_t result = low8(value);
  if (result != value) warn(state, WarningKind::ValueCut, place, cut_message(value, what, 8, result));
}
