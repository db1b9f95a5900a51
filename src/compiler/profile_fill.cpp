#include "compiler/profile_fill.h"

#include <climits>

#include "compiler/error_report.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

const char* name_of(Profile profile) {
  switch (profile) {
    case Profile::Gradient:
      return "gradient";
    case Profile::LineSpeed:
      return "line speed";
    case Profile::Adhesion:
      return "adhesion";
  }
  return "";
}

}  // namespace

void ProfileFill::give(int32_t value, SourcePlace place) {
  value_ = value;
  place_ = place;
  value_told_ = false;
}

void ProfileFill::fail(RunState& state, const std::string& why, SourcePlace place, bool& told) {
  if (!state.keep_going) throw ReadFailure(why, place);
  if (told) return;
  told = true;
  raise_error(state, Refusal(kErrorReadFailure, std::nullopt, place, why));
}

bool ProfileFill::stored(RunState& state, uint8_t& byte) {
  switch (profile_) {
    case Profile::Gradient: {
      const int64_t sum = int64_t{value_} + kGradientOffset;
      if (sum > INT32_MAX) {
        fail(state,
             "the gradient " + std::to_string(value_) + " plus " + std::to_string(kGradientOffset) + " leaves 32 bits",
             place_, value_told_);
        return false;
      }
      note_byte_cut(state, sum, "gradient + 100", place_);
      byte = low8(sum);
      return true;
    }
    case Profile::Adhesion:
      note_byte_cut(state, value_, "adhesion", place_);
      byte = low8(value_);
      return true;
    case Profile::LineSpeed: {
      const double rounded = round_half_even(value_ / static_cast<double>(kSpeedUnit));
      if (rounded < 0 || rounded > 255) {
        const std::string value = std::to_string(value_);
        fail(state,
             "the line speed " + value + " km/h is stored as round(" + value + " / " + std::to_string(kSpeedUnit) +
                 ") = " + std::to_string(static_cast<int64_t>(rounded)) + ", which a byte cannot hold: speeds " +
                 std::to_string(kLowestLineSpeed) + " to " + std::to_string(kHighestLineSpeed) + " km/h fit",
             place_, value_told_);
        return false;
      }
      byte = static_cast<uint8_t>(rounded);
      return true;
    }
  }
  return false;
}

void ProfileFill::store(TrackCell& cell, uint8_t byte) const {
  switch (profile_) {
    case Profile::Gradient:
      cell.gradient = byte;
      break;
    case Profile::LineSpeed:
      cell.speedLimit = byte;
      break;
    case Profile::Adhesion:
      cell.adhesion = byte;
      break;
  }
}

void ProfileFill::fill(RunState& state, int64_t until, SourcePlace entry) {
  TrackGrid& grid = state.grid;
  uint8_t byte = 0;
  // After a failure the run keeps going past, the cells still advance (their byte is then 0).
  if (!stored(state, byte)) byte = 0;
  const int32_t last = grid.cellCount();
  do {
    if (cursor_ > last) {
      fail(state,
           std::string("the ") + name_of(profile_) + " would be written into cell " + std::to_string(cursor_) +
               ", beyond the grid's last cell " + std::to_string(last) +
               ": every entry of a profile writes at least one cell, from where the one before stopped",
           entry, beyond_told_);
      return;
    }
    store(grid[cursor_], byte);
    ++cursor_;
  } while (cursor_ < until && (profile_ != Profile::LineSpeed || cursor_ < last));
}
