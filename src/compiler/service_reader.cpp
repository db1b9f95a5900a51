#include "compiler/service_reader.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>

#include "compiler/entry_reader.h"
#include "compiler/error_report.h"
#include "compiler/field_reader.h"
#include "compiler/keyword_match.h"
#include "compiler/keywords.h"
#include "compiler/memo_rallentamento.h"
#include "compiler/memo_segnale.h"
#include "compiler/profile_fill.h"
#include "compiler/source_notes.h"
#include "compiler/target_cells.h"
#include "compiler/value_cut.h"
#include "scenario/checked_arithmetic.h"
#include "scenario/error_codes.h"
#include "scenario/plausible_ranges.h"
#include "scenario/run_state.h"

namespace {

/// Dash fields passed over in a row before the keyword test.
constexpr int kDashRun = 2;
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
constexpr int32_t kSecondsPerHour = 3600;
constexpr int32_t kSecondsPerMinute = 60;

class ServiceReader : public EntryReader {
  std::optional<Diagnostic> line_stop_;

 public:
  ServiceReader(RunState& state, std::string_view text)
      : EntryReader(state, text, SourceKind::Service), line_stop_(first_line_error_if_beyond_grid(state)) {}

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
    warn(state_, WarningKind::SourceNotRead, {SourceKind::Service, 1, 1},
         std::string(reader_.fields_read() == 0 ? "the train service is empty"
                                                : "the train service has no field \"[generale]\"") +
             ": nothing of it is read, and the line speed and adhesion stay 0 everywhere");
  }

  /// Every key string the field contains triggers its entry, in this order.
  Flow entry(const std::string& field) {
    ScenarioTable& table = state_.table;
    for (const KeywordInfo& info : keyword_table())
      if (info.place == KeywordPlace::Service && matches(field, info.keyword)) matched();
    if (matches(field, Keyword::BrakedMass)) {
      expect(Keyword::BrakedMass);
      const Placed mass = read_placed();
      table[kTrainRecord].number1 = mass.value;
      if (mass.value < kLowestBrakedMass || mass.value > kHighestBrakedMass)
        warn(state_, WarningKind::TrainDataRange, mass.place,
             "a braked-mass percentage of " + std::to_string(mass.value) + " %: a train brakes with " +
                 std::to_string(kLowestBrakedMass) + " to " + std::to_string(kHighestBrakedMass) +
                 " % (about 50 for freight, up to 200 for fast passenger trains)");
    }
    if (matches(field, Keyword::Cars)) {
      expect(Keyword::Cars);
      const Placed cars = read_placed();
      table[kTrainRecord].number3 = cars.value;
      if (cars.value < kFewestCars || cars.value > kMostCars)
        warn(state_, WarningKind::TrainDataRange, cars.place,
             "a train of " + std::to_string(cars.value) + " cars: a train has " + std::to_string(kFewestCars) + " to " +
                 std::to_string(kMostCars));
    }
    if (matches(field, Keyword::Speed))
      if (const Flow flow = profile_entry(Keyword::Speed, speed_, first_speed_); flow != Flow::Next) return flow;
    if (matches(field, Keyword::Adhesion))
      if (const Flow flow = profile_entry(Keyword::Adhesion, adhesion_, first_adhesion_); flow != Flow::Next)
        return flow;
    if (matches(field, Keyword::Clock)) {
      expect(Keyword::Clock);
      table[kServiceRecord].short3 = reader_.read_int16();
      table[kServiceRecord].short4 = reader_.read_int16();
      table[kServiceRecord].short5 = reader_.read_int16();
    }
    if (matches(field, Keyword::Sand)) {
      expect(Keyword::Sand);
      table[kServiceRecord].short1 = reader_.read_int16();
      const SourcePlace place = reader_.last_place();
      if (table[kServiceRecord].short1 < kLeastSand)
        warn(state_, WarningKind::TrainDataRange, place,
             "a sand supply of " + std::to_string(table[kServiceRecord].short1) +
                 ": the train has no sand to lay where its wheels slip; a train carries some (the starter gives 100)");
    }
    if (matches(field, Keyword::Signal) || matches(field, Keyword::Slowdown)) tell_reading_ends_here();
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

  /// The line description's first error, when it is a position beyond the grid (E15): the one error after
  /// which the train service is still read, up to its first signal or slowdown.
  static std::optional<Diagnostic> first_line_error_if_beyond_grid(const RunState& state) {
    for (const Diagnostic& diagnostic : state.diagnostics.all()) {
      if (diagnostic.severity != Severity::Error || !diagnostic.place || diagnostic.place->source != SourceKind::Line)
        continue;
      if (diagnostic.code == kErrorOutOfRange) return diagnostic;
      return std::nullopt;
    }
    return std::nullopt;
  }

  /// The first signal or slowdown after a line E15: the format places it, and its reading of the train
  /// service ends there, so that with --force the entries after it are missing from the files. Checking
  /// reads on; the author is told where the files stop.
  void tell_reading_ends_here() {
    if (!line_stop_) return;
    const int32_t line = line_stop_->place->line;
    line_stop_.reset();
    warn(state_, WarningKind::ServiceReadInPart, keyword_place_,
         "the reading of the train service ends at this entry, its first signal or slowdown: the line "
         "description's error E15 (line " +
             std::to_string(line) +
             ") is still set when it is placed. With --force the entries after this one are not in the files, "
             "and the line speed and adhesion are not completed; mend the line description's error first");
  }

  /// A line speed or adhesion entry: its position starts its run, its value waits for the next entry.
  Flow profile_entry(Keyword keyword, ProfileFill& profile, std::optional<Placed>& first_entry) {
    expect(keyword);
    const Placed position = read_placed();
    const Placed value = read_placed();
    if (!passes_range_test(state_.grid, position.value)) return outside_grid(position.value, position.place);
    const int64_t first = profile_cell(position.value);
    if (!first_entry) first_entry = position;
    if (first > 0) profile.fill(state_, first, keyword_place_);
    profile.give(value.value, value.place);
    if (keyword == Keyword::Speed && std::nearbyint(value.value / double{kSpeedUnit}) == 0)
      warn(state_, WarningKind::SpeedZero, value.place,
           "a line speed of " + std::to_string(value.value) + " km/h from " + std::to_string(position.value) +
               " m: it is stored as 0 and the train cannot run there; a line speed is " + std::to_string(kSpeedUnit) +
               " km/h or more");
    if (keyword == Keyword::Adhesion && value.value < kLeastAdhesion)
      warn(state_, WarningKind::TrainDataRange, value.place,
           "an adhesion of " + std::to_string(value.value) + " from " + std::to_string(position.value) +
               " m: the wheels would never grip; a dry rail gives about 100");
    return Flow::Next;
  }

  Flow signal_entry() {
    expect(Keyword::Signal);
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
      return outside_grid(*outside, posizione.place, "its cell lies before cell 0");
    // Any code ends the reading here, also one left by the line description (its soft 15).
    const int32_t code =
        recorded([&] { memo_segnale(state_, posizione.value, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo); });
    if (code > 0) {
      Refusal refusal(code, posizione.value, posizione.place);
      if (code == kErrorSignalOccupied) {
        const int64_t cell = object_cell(posizione.value);
        refusal.detail = cell_text(cell) + " holds " + name_occupant(refusal, state_, cell);
      }
      if (code == kErrorOutOfRange) refusal.detail = "the line description stopped at a position beyond the grid";
      return refuse(std::move(refusal));
    }
    return Flow::Next;
  }

  Flow slowdown_entry() {
    expect(Keyword::Slowdown);
    const Placed x = read_placed();
    int32_t v = reader_.read_int32();
    const Placed length = read_placed();
    int32_t l = length.value;
    int32_t f_tt = reader_.read_int32();
    const int32_t f_ta = reader_.read_int32();
    int32_t d_v = reader_.read_int32();
    if (!passes_range_test(state_.grid, x.value)) return outside_grid(x.value, x.place);
    const int32_t code_before = state_.error.code;
    const int32_t code = recorded([&] { memo_rallentamento(state_, x.value, v, l, f_tt, f_ta, d_v); });
    // A cell of the slowdown outside the grid is found by the recorder at the step that needs it.
    if (code == kErrorOutOfRange && (code_before == 0 || state_.keep_going) && state_.error.position) {
      const bool end = *state_.error.position != x.value;
      return outside_grid(*state_.error.position, end ? length.place : x.place,
                          end ? "the slowdown's end cell " + std::to_string(object_cell(*state_.error.position)) +
                                    " lies outside the grid, cells 0 to " + std::to_string(state_.grid.cellCount())
                              : "its cells lie before cell 0");
    }
    if (code > 0) return refuse(slowdown_refusal(code, x, length.value));
    const int64_t line_end = state_.table[kTrainRecord].number2;
    if (int64_t{x.value} + l > line_end)
      warn(state_, WarningKind::PastLineEnd, length.place,
           "this slowdown runs to " + std::to_string(int64_t{x.value} + l) + " m, past the end of the " +
               std::to_string(line_end) + " m line");
    return Flow::Next;
  }

  /// A slowdown refused for a taken cell: which cell, and what holds it.
  Refusal slowdown_refusal(int32_t code, const Placed& x, int32_t l) {
    Refusal refusal(code, x.value, x.place);
    const SlowdownCells cells = slowdown_cells(x.value, l, 1);
    switch (code) {
      case kErrorWarningOccupied: {
        const int64_t warning = cells.warning.value_or(0);
        const std::string holder = name_occupant(refusal, state_, warning);
        refusal.detail = "its warning mark, " + std::to_string(kSlowdownWarningDistance) +
                         " m before the start, falls in " + cell_text(warning) + ", which holds " + holder;
        break;
      }
      case kErrorSlowdownStartOccupied: {
        refusal.detail = cell_text(cells.start) + " holds " + name_occupant(refusal, state_, cells.start);
        break;
      }
      case kErrorSlowdownEndOccupied: {
        const std::string holder = name_occupant(refusal, state_, cells.end);
        refusal.detail = "its end at " + std::to_string(int64_t{x.value} + l) + " m falls in " + cell_text(cells.end) +
                         ", which holds " + holder;
        break;
      }
      case kErrorApproachOccupied: {
        // The four cells just before the warning cell; the first that is taken (perhaps by this slowdown).
        for (int32_t k = 1; k <= kSlowdownApproachCells; ++k) {
          const int64_t cell = cells.approach_cell(k);
          if (state_.grid.contains(cell) && !state_.grid[static_cast<int32_t>(cell)].is_free()) {
            const std::string holder = name_occupant(refusal, state_, cell);
            refusal.detail = "its four approach cells " + std::to_string(cells.approach_cell(kSlowdownApproachCells)) +
                             " to " + std::to_string(cells.approach_cell(1)) +
                             ", before the warning mark, must be free, but " + cell_text(cell) + " holds " + holder;
            break;
          }
        }
        break;
      }
      default:
        break;
    }
    return refusal;
  }

  Flow speed_cut_entry() {
    expect(Keyword::SpeedCut);
    const Placed position = read_placed();
    const int32_t cut = reader_.read_int32();
    if (!passes_range_test(state_.grid, position.value)) return outside_grid(position.value, position.place);
    // One cell before the cell of a single object: 2000 m gives cell 40.
    const int64_t target = speed_cut_cell(position.value);
    if (!state_.grid.contains(target))
      return outside_grid(position.value, position.place, "its cell lies before cell 0");
    TrackCell& cell = state_.grid[static_cast<int32_t>(target)];
    if (!cell.is_free()) {
      Refusal refusal(kErrorSpeedCutOccupied, position.value, position.place);
      refusal.detail = cell_text(target) + " holds " + name_occupant(refusal, state_, target);
      return refuse(std::move(refusal));
    }
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
    expect(Keyword::Station);
    // Stations never reach the board records, and never leave the table.
    const int32_t slot_limit = std::min(state_.board_slot, kFirstBoardRecord);
    const int32_t n = station_index_;
    if (stations_full_) {
      // Refused once for want of records; when the run keeps going the later stations are passed over.
      skip_values(0);
      return Flow::Next;
    }
    ScenarioRecord& record = state_.table[n];
    state_.record_places[static_cast<std::size_t>(n)] = keyword_place_;
    // When the run keeps going a refused station is taken as the format leaves it: its record keeps what
    // was read into it (the next station fills the same record again) and its marks stay in the grid;
    // only the record no longer names it as its entry.
    const auto refused = [&](Flow flow, std::size_t values_read) {
      if (state_.keep_going) {
        skip_values(values_read);
        state_.record_places[static_cast<std::size_t>(n)] = SourcePlace{};
      }
      return flow;
    };

    const Placed position = read_placed();
    record.number3 = position.value;
    // A refused position is one mistake, the platform's length another: checking goes on to test the
    // length, and ends the entry there (what follows needs the position).
    std::optional<Flow> position_refused;
    if (!passes_range_test(state_.grid, position.value, kStationRangeMargin))
      position_refused = outside_grid(position.value, position.place, range_limit(kStationRangeMargin));
    else if (position.value % kCellLength != 0)
      position_refused = refuse(Refusal(kErrorStationPosition, position.value, position.place,
                                        std::to_string(position.value) + " m is not a multiple of 50"));
    if (position_refused && !state_.keep_going) return refused(*position_refused, 1);
    record.code = reader_.read_uint8();
    const Placed length = read_placed();
    if (length.value % kPlatformUnit != 0) {
      Refusal refusal(kErrorPlatformLength, position.value, length.place,
                      "its platform of " + std::to_string(length.value) + " m is not a multiple of 100");
      return refused(refuse(std::move(refusal)), 3);
    }
    if (position_refused) return refused(*position_refused, 3);

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
    if (minute < 0 || minute > 59 || second < 0 || second > 59)
      warn(state_, WarningKind::TimeOutOfRange, keyword_place_,
           "the time " + std::to_string(hour) + ":" + std::to_string(minute) + ":" + std::to_string(second) +
               " has a minute or a second outside 0 to 59: it is stored as " + std::to_string(record.number4) +
               " s from midnight");
    record.text = reader_.read_stored_text();

    place_platform(record, position.value, length.value);
    if (length.value < kLongPlatform) record.byte4 = 0;
    if (n == kFirstStationRecord) {
      record.byte3 = 0;
      record.byte4 = 0;
    }

    const StationCells cells = station_cells(record.code, record.number2);
    if (cells.on_grid && !cells.room_for_mark)
      return refused(refuse(Refusal(kErrorPlatformTooNear, std::nullopt, keyword_place_,
                                    "its platform ends at " + std::to_string(record.number2) + " m")),
                     kStationValues);
    if (cells.on_grid && !state_.grid.contains(cells.mark))
      return refused(outside_grid(position.value, position.place,
                                  "its mark cell " + std::to_string(cells.mark) + " lies outside the grid"),
                     kStationValues);
    // The spacing test comes after the marks, which a refused station leaves in the grid.
    place_marks(cells, n, position);
    if (const std::optional<Refusal> spacing = spacing_refusal(n, position))
      return refused(refuse(*spacing), kStationValues);

    station_index_ = n + 1;
    if (station_index_ >= slot_limit) {
      stations_full_ = true;
      const std::string boards =
          state_.board_slot < kFirstBoardRecord
              ? "the information-board texts take records " + std::to_string(state_.board_slot + 1) + " to 80"
              : "records 79 and 80 stay free";
      return refuse(Refusal(kErrorStationRecords, std::nullopt, keyword_place_,
                            "at most " + std::to_string(std::max(0, slot_limit - 2)) + " stations fit here: " + boards +
                                ", and a free record must follow the last station"));
    }
    return Flow::Next;
  }

  /// The approach marks and the mark of station `n`, written without testing their cells (a mark over
  /// another object is warned of); nothing for a kind off the grid.
  void place_marks(const StationCells& cells, int32_t n, const Placed& position) {
    for (const TargetCell& target : cells.targets()) {
      const auto index = static_cast<int32_t>(target.cell);
      TrackCell& cell = state_.grid[index];
      if (target.role == CellRole::StationApproachMark) {
        cell.approachMark = low8(kStationApproachBase + target.k);
        continue;
      }
      if (!cell.is_free()) {
        const Occupant occupant = occupant_of(state_, target.cell);
        warn(state_, WarningKind::ObjectOverwritten, position.place,
             "the station mark in " + cell_text(target.cell) + " is written over " + occupant.description +
                 ", which the simulator then never sees");
      }
      cell.set_kind(CellKind::StationMark);
      cell.value1 = low16(n);
      state_.grid.set_origin(index, {keyword_place_, position.value});
    }
  }

  /// Why station `n` breaks the spacing rule, if it does: stations out of line order, or platforms less
  /// than 350 m apart.
  std::optional<Refusal> spacing_refusal(int32_t n, const Placed& position) {
    if (n <= kFirstStationRecord) return std::nullopt;
    const ScenarioRecord& record = state_.table[n];
    const ScenarioRecord& previous = state_.table[n - 1];
    if (add32(record.number1, -kStationSpacing) >= previous.number2) return std::nullopt;
    Refusal refusal(kErrorStationSpacing, position.value, position.place);
    const std::string name = "\"" + record.text + "\"";
    const std::string before = "\"" + previous.text + "\"";
    const int64_t gap = int64_t{record.number1} - previous.number2;
    if (record.number3 <= previous.number3) {
      refusal.detail = "stations out of line order: " + name + " at " + std::to_string(record.number3) +
                       " m comes after " + before + " at " + std::to_string(previous.number3) + " m";
    } else {
      refusal.detail = "the platform of " + name + " starts at " + std::to_string(record.number1) + " m, " +
                       (gap < 0 ? "before" : "only " + std::to_string(gap) + " m after") + " the platform of " +
                       before + " ends at " + std::to_string(previous.number2) + " m; platforms stand at least " +
                       std::to_string(kStationSpacing) + " m apart";
    }
    if (state_.record_places[static_cast<std::size_t>(n - 1)])
      refusal.related.push_back({state_.record_places[static_cast<std::size_t>(n - 1)], "the station before it"});
    return refusal;
  }

  /// Reads the values of this entry left after `values_read` of them, when the run keeps going past a
  /// refusal.
  void skip_values(std::size_t values_read) {
    for (std::size_t n = values_read; n < kStationValues; ++n) reader_.read_text();
  }

  static void place_platform(ScenarioRecord& record, int32_t position, int32_t length) {
    const bool before = record.code == kStationKindBeforeFirst || record.code == kStationKindBeforeSecond;
    const bool both_sides = record.code == kStationKindBothSidesFirst || record.code == kStationKindBothSidesSecond;
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
  /// Warns when the cells before the first entry of a profile keep 0, or when there is no entry at all.
  void note_profile_start(const std::optional<Placed>& first, const char* what, const char* keyword) {
    if (!first) {
      warn(state_, WarningKind::ProfileGap, {SourceKind::Service, 1, 1},
           std::string("no \"") + keyword + "\" entry: the " + what + " is 0 on the whole line");
      return;
    }
    const int64_t cell = profile_cell(first->value);
    if (cell > 0)
      warn(state_, WarningKind::ProfileGap, first->place,
           std::string("the first \"") + keyword + "\" entry is at " + std::to_string(first->value) +
               " m: cells 0 to " + std::to_string(cell - 1) + " (0 to " + std::to_string(profile_metre(cell)) +
               " m) keep a " + what + " of 0");
  }

  void finish() {
    note_profile_start(first_speed_, "line speed", "velocita");
    note_profile_start(first_adhesion_, "adhesion", "aderenza");
    const int64_t tail = int64_t{state_.grid.cellCount()} - kProfileTailCells;
    speed_.finish(state_, tail);
    adhesion_.finish(state_, tail);
    for (int index : {kKilometricTreRecord, kKilometricDueRecord, kKilometricUnoRecord}) {
      const ScenarioRecord& record = state_.table[index];
      if (record.number1 % kCellLength != 0 || record.number2 % kCellLength != 0) {
        const SourcePlace entry = state_.kilometric_places[static_cast<std::size_t>(index - kKilometricTreRecord)];
        const bool start = record.number1 % kCellLength != 0;
        Refusal refusal(kErrorKilometricReference);
        if (entry) refusal.place = entry;
        refusal.detail = std::string("its ") + (start ? "start " : "value ") +
                         std::to_string(start ? record.number1 : record.number2) + " m is not a multiple of 50" +
                         (start ? "" : " (as stored: 100 is added to the value of a reference whose flag is 1)");
        raise_error(state_, std::move(refusal));
      }
    }
  }

  static constexpr std::size_t kStationValues = 17;

  int32_t station_index_ = kFirstStationRecord;
  bool stations_full_ = false;
  std::optional<Placed> first_speed_;
  std::optional<Placed> first_adhesion_;

  // Both start from the value 0 before their first entry.
  ProfileFill speed_{Profile::LineSpeed};
  ProfileFill adhesion_{Profile::Adhesion};
};

}  // namespace

void read_train_service(RunState& state, std::string_view text) {
  ServiceReader service(state, text);
  service.run();
}
