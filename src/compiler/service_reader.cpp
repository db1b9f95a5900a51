#include "compiler/service_reader.h"

#include <algorithm>
#include <string>

#include "compiler/entry_reader.h"
#include "compiler/error_report.h"
#include "compiler/field_reader.h"
#include "compiler/keyword_match.h"
#include "compiler/keywords.h"
#include "compiler/memo_rallentamento.h"
#include "compiler/memo_segnale.h"
#include "compiler/source_notes.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

/// Dash fields passed over in a row before the keyword test.
constexpr int kDashRun = 2;
/// Station kinds: 5 and 6 lie before the position, 7 and 8 reach the length on both sides, from 25 on
/// nothing is placed in the grid.
constexpr uint8_t kKindBeforeFirst = 5;
constexpr uint8_t kKindBeforeSecond = 6;
constexpr uint8_t kKindBothSidesFirst = 7;
constexpr uint8_t kKindBothSidesSecond = 8;
constexpr uint8_t kFirstKindOffGrid = 25;
/// A platform before its position still reaches this far beyond it, metres.
constexpr int32_t kPlatformBeyond = 150;
/// A platform extension flag lengthens the platform end by this, metres.
constexpr int32_t kPlatformExtension = 50;
/// Platforms shorter than this lose their byte4 flag, metres.
constexpr int32_t kLongPlatform = 600;
/// Station positions are multiples of a cell, platform lengths multiples of this, metres.
constexpr int32_t kPlatformUnit = 100;
/// Platforms of successive stations stand at least this far apart, metres.
constexpr int32_t kStationSpacing = 350;
/// Approach marks before a station mark: 81 in the cell before it, up to 84 four cells before it.
constexpr int32_t kStationApproachMarks = 4;
constexpr int32_t kStationApproachBase = 80;
constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerMinute = 60;

class ServiceReader : public EntryReader {
 public:
  ServiceReader(RunState& state, std::string_view text)
      : EntryReader(state, text, SourceKind::Service) {}

  void run() {
    placing_failures([this] {
      find_general_section();
      const Flow flow = read_entries({kDashRun, true}, [this](const std::string& field) { return entry(field); });
      if (flow == Flow::Done || flow == Flow::Stop) finish();
    });
  }

 private:
  /// A refusal without a position: the place is the entry's keyword field.
  Flow refuse_here(int32_t code) { return refuse(code, std::nullopt, keyword_place_); }

  void find_general_section() {
    while (!reader_.at_end())
      if (contains_any_case(read_field(), "[generale]")) return;
  }

  /// Every key string the field contains triggers its entry, in this order.
  Flow entry(const std::string& field) {
    ScenarioTable& table = state_.table;
    for (const KeywordInfo& info : keyword_table())
      if (info.place == KeywordPlace::Service && matches(field, info.keyword)) matched();
    if (matches(field, Keyword::BrakedMass)) table[kTrainRecord].number1 = reader_.read_int32();
    if (matches(field, Keyword::Cars)) table[kTrainRecord].number3 = reader_.read_int32();
    if (matches(field, Keyword::Speed))
      if (const Flow flow = speed_entry(); flow != Flow::Next) return flow;
    if (matches(field, Keyword::Adhesion))
      if (const Flow flow = adhesion_entry(); flow != Flow::Next) return flow;
    if (matches(field, Keyword::Clock)) {
      table[kServiceRecord].short3 = reader_.read_int16();
      table[kServiceRecord].short4 = reader_.read_int16();
      table[kServiceRecord].short5 = reader_.read_int16();
    }
    if (matches(field, Keyword::Sand)) table[kServiceRecord].short1 = reader_.read_int16();
    if (matches(field, Keyword::Signal))
      if (const Flow flow = signal_entry(); flow != Flow::Next) return flow;
    if (matches(field, Keyword::Slowdown))
      if (const Flow flow = slowdown_entry(); flow != Flow::Next) return flow;
    if (matches(field, Keyword::SpeedCut))
      if (const Flow flow = speed_cut_entry(); flow != Flow::Next) return flow;
    if (matches(field, Keyword::Station))
      if (const Flow flow = station_entry(); flow != Flow::Next) return flow;
    return Flow::Next;
  }

  void fill_speed(int64_t until) {
    fill_profile(state_.grid, speed_cursor_, until, [this](TrackCell& cell) { cell.speedLimit = round8(previous_speed_ / static_cast<double>(kSpeedUnit)); });
  }

  void fill_adhesion(int64_t until) {
    fill_profile(state_.grid, adhesion_cursor_, until, [this](TrackCell& cell) { cell.adhesion = low8(previous_adhesion_); });
  }

  Flow speed_entry() {
    const Placed position = read_placed();
    const int32_t speed = reader_.read_int32();
    if (!passes_range_test(state_.grid, position.value)) return outside_grid(position.value, position.place);
    const int64_t first = profile_cell(position.value);
    if (first > 0) fill_speed(first);
    previous_speed_ = speed;
    return Flow::Next;
  }

  Flow adhesion_entry() {
    const Placed position = read_placed();
    const int32_t adhesion = reader_.read_int32();
    note_byte_cut(state_, adhesion, "adhesion", reader_.last_place());
    if (!passes_range_test(state_.grid, position.value)) return outside_grid(position.value, position.place);
    const int64_t first = profile_cell(position.value);
    if (first > 0) fill_adhesion(first);
    previous_adhesion_ = adhesion;
    return Flow::Next;
  }

  Flow signal_entry() {
    const Placed posizione = read_placed();
    int32_t sx = reader_.read_int32();
    int32_t s1 = reader_.read_int32();
    int32_t s2 = reader_.read_int32();
    int32_t s3 = reader_.read_int32();
    int32_t rapp = reader_.read_int32();
    int32_t dx = reader_.read_int32();
    int32_t d1 = reader_.read_int32();
    int32_t d2 = reader_.read_int32();
    int32_t d3 = reader_.read_int32();
    int32_t tempo = reader_.read_int32();
    if (!passes_range_test(state_.grid, posizione.value)) return outside_grid(posizione.value, posizione.place);
    if (const auto outside = signal_outside_grid(state_.grid, posizione.value))
      return outside_grid(*outside, posizione.place);
    memo_segnale(state_, posizione.value, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo);
    // Any code ends the reading here, also one left by the line description (its soft 15).
    if (state_.error.code > 0) return refuse(state_.error.code, posizione.value, posizione.place);
    return Flow::Next;
  }

  Flow slowdown_entry() {
    const Placed x = read_placed();
    int32_t v = reader_.read_int32();
    const Placed length = read_placed();
    int32_t l = length.value;
    int32_t f_tt = reader_.read_int32();
    const int32_t f_ta = reader_.read_int32();
    int32_t d_v = reader_.read_int32();
    if (!passes_range_test(state_.grid, x.value)) return outside_grid(x.value, x.place);
    const int32_t code_before = state_.error.code;
    memo_rallentamento(state_, x.value, v, l, f_tt, f_ta, d_v);
    // A cell of the slowdown outside the grid is found by the recorder at the step that needs it.
    if (state_.error.code == kErrorOutOfRange && code_before == 0 && state_.error.position)
      return outside_grid(*state_.error.position, *state_.error.position == x.value ? x.place : length.place);
    if (state_.error.code > 0) return refuse(state_.error.code, x.value, x.place);
    return Flow::Next;
  }

  Flow speed_cut_entry() {
    const Placed position = read_placed();
    const int32_t cut = reader_.read_int32();
    if (!passes_range_test(state_.grid, position.value)) return outside_grid(position.value, position.place);
    // One cell before the cell of a single object: 2000 m gives cell 40.
    const int64_t target = profile_cell(position.value);
    if (!state_.grid.contains(target)) return outside_grid(position.value, position.place);
    TrackCell& cell = state_.grid[static_cast<int32_t>(target)];
    if (!cell.is_free()) return refuse(kErrorSpeedCutOccupied, position.value, position.place);
    state_.grid.set_origin(static_cast<int32_t>(target), {keyword_place_, position.value});
    if (cut >= 1) {
      cell.set_kind(CellKind::ControlPoint);
      cell.value1 = cut16(state_, cut, "speed cut value");
    } else {
      cell.set_kind(CellKind::ControlPointNoValue);
    }
    return Flow::Next;
  }

  Flow station_entry() {
    // Stations never reach the board records, and never leave the table.
    const int32_t slot_limit = std::min(state_.board_slot, kFirstBoardRecord);
    const int32_t n = station_index_;
    ScenarioRecord& record = state_.table[n];

    const Placed position = read_placed();
    record.number3 = position.value;
    if (!passes_range_test(state_.grid, position.value, kStationRangeMargin))
      return outside_grid(position.value, position.place);
    if (position.value % kCellLength != 0) return refuse(kErrorStationPosition, position.value, position.place);
    record.code = reader_.read_uint8();
    const int32_t length = reader_.read_int32();
    if (length % kPlatformUnit != 0) return refuse(kErrorPlatformLength, position.value, position.place);

    record.mark = reader_.read_uint8();
    record.byte4 = reader_.read_uint8();
    record.byte3 = reader_.read_uint8();
    record.short1 = reader_.read_int16();
    record.short2 = reader_.read_int16();
    record.byte1 = reader_.read_uint8();
    record.short3 = reader_.read_int16();
    record.short4 = reader_.read_int16();
    record.short5 = reader_.read_int16();
    record.byte2 = reader_.read_uint8();
    const int32_t hour = reader_.read_int32();
    const int32_t minute = reader_.read_int32();
    const int32_t second = reader_.read_int32();
    record.number4 = add32(add32(mul32(hour, kSecondsPerHour), mul32(minute, kSecondsPerMinute)), second);
    record.text = reader_.read_stored_text();

    place_platform(record, position.value, length);
    if (length < kLongPlatform) record.byte4 = 0;
    if (n == kFirstStationRecord) {
      record.byte3 = 0;
      record.byte4 = 0;
    }

    if (record.code < kFirstKindOffGrid) {
      const double end = record.number2 / static_cast<double>(kCellLength);
      if (!(end - 1 > 1)) return refuse_here(kErrorPlatformTooNear);
      const auto mark_cell = static_cast<int64_t>(round_half_even(end - 1));
      if (!state_.grid.contains(mark_cell)) return outside_grid(position.value, position.place);
      if (record.code != kKindBeforeFirst && record.code != kKindBeforeSecond) {
        for (int32_t k = 1; k <= kStationApproachMarks; ++k)
          if (end - k - 1 > 1)
            state_.grid[static_cast<int32_t>(round_half_even(end - k - 1))].approachMark =
                low8(kStationApproachBase + k);
      }
      TrackCell& mark = state_.grid[static_cast<int32_t>(mark_cell)];
      if (!mark.is_free())
        warn(state_, WarningKind::ObjectOverwritten, position.place,
             "the station mark in cell " + std::to_string(mark_cell) + " is written over another object");
      mark.set_kind(CellKind::StationMark);
      mark.value1 = low16(n);
      state_.grid.set_origin(static_cast<int32_t>(mark_cell), {keyword_place_, position.value});
    }

    if (n > kFirstStationRecord &&
        add32(record.number1, -kStationSpacing) < state_.table[n - 1].number2)
      return refuse(kErrorStationSpacing, position.value, position.place);

    station_index_ = n + 1;
    if (station_index_ >= slot_limit) return refuse_here(kErrorStationRecords);
    return Flow::Next;
  }

  static void place_platform(ScenarioRecord& record, int32_t position, int32_t length) {
    const bool before = record.code == kKindBeforeFirst || record.code == kKindBeforeSecond;
    const bool both_sides = record.code == kKindBothSidesFirst || record.code == kKindBothSidesSecond;
    if (before) {
      record.number1 = add32(position, -int64_t{length});
      record.number2 = add32(position, kPlatformBeyond);
      record.byte3 = 0;
    } else if (both_sides) {
      record.number1 = add32(position, -int64_t{length});
      record.number2 = add32(position, length);
      record.byte3 = 0;
    } else {
      const double half = length / 2.0;
      record.number1 = round32(position - half);
      record.number2 = round32(position + half + (record.byte3 != 0 ? kPlatformExtension : 0));
    }
  }

  /// The closing step: the profiles run on to the grid's tail, then the kilometric references are
  /// checked (code 2 replaces a soft 15).
  void finish() {
    const int64_t tail = int64_t{state_.grid.cellCount()} - kProfileTailCells;
    fill_speed(tail);
    fill_adhesion(tail);
    for (int index : {kKilometricTreRecord, kKilometricDueRecord, kKilometricUnoRecord}) {
      const ScenarioRecord& record = state_.table[index];
      if (record.number1 % kCellLength != 0 || record.number2 % kCellLength != 0)
        raise_error(state_, Refusal{kErrorKilometricReference});
    }
  }

  int32_t station_index_ = kFirstStationRecord;
  int32_t speed_cursor_ = 0;
  int32_t previous_speed_ = 0;
  int32_t adhesion_cursor_ = 0;
  int32_t previous_adhesion_ = 0;
};

}  // namespace

void read_train_service(RunState& state, std::string_view text) {
  ServiceReader service(state, text);
  service.run();
}
