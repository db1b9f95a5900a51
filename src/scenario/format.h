#pragma once

// The numbers of the scenario format that writers and readers must agree on: the grid's measures, the
// units and offsets in which the cells store the line profile, the packings of the values of signals
// and boards, the kilometric flag, the reserved places of the output, and the names of the cell kinds.
// The binary layouts of the three files are in scenario/binary_format.h, the file names in
// scenario/file_names.h.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

// --- The grid ------------------------------------------------------------------------------------

/// Length of the track covered by one cell, metres.
inline constexpr int32_t kCellLength = 50;
/// The grid reaches this far beyond the end of the line, metres.
inline constexpr int32_t kGridBeyondLine = 7000;
/// The longest line the format accepts, metres.
inline constexpr int32_t kMaxLineLength = 1000000;
/// The shortest line whose grid has cell 1, where the output stamps its marker: its last cell,
/// round((length + 7000) / 50), must reach 1, and half a cell rounds to 0.
inline constexpr int32_t kShortestLine = kCellLength / 2 + 1 - kGridBeyondLine;
/// Margin of the range test for most positions, and the wider one for stations, metres.
inline constexpr int32_t kRangeMargin = 100;
inline constexpr int32_t kStationRangeMargin = 800;
/// The profile fills stop this many cells before the last cell: the last three cells keep no profile.
inline constexpr int32_t kProfileTailCells = 2;

// --- The line profile of a cell -----------------------------------------------------------------

/// A gradient (per mille) is stored plus this offset, in 8 bits: 100 stands for 0, 90 for -10.
inline constexpr int32_t kGradientOffset = 100;
/// A line speed (km/h) is stored divided by this unit, rounded half to even.
inline constexpr int32_t kSpeedUnit = 5;

constexpr int gradient_per_mille(uint8_t stored) { return int{stored} - kGradientOffset; }
constexpr int speed_km_h(uint8_t stored) { return int{stored} * kSpeedUnit; }

/// The line speeds whose stored byte, round(speed / 5), lies in 0 to 255; any other is a read failure
/// when it is written. (With an odd unit no speed lies half-way: -2.5 and 1277.5 are not whole.)
static_assert(kSpeedUnit % 2 == 1);
inline constexpr int32_t kLowestLineSpeed = -(kSpeedUnit / 2);
inline constexpr int32_t kHighestLineSpeed = 255 * kSpeedUnit + kSpeedUnit / 2;

// --- Curves -------------------------------------------------------------------------------------

/// A curve's sharpness: the digit its keyword holds, the turn of the plan per metre, and the radius
/// that turn gives, metres. The reader takes the first of the digits 1 to 6 that the keyword holds,
/// tested in this order.
struct CurveSharpness {
  char digit;
  double turn_per_metre;
  int32_t radius;
};
inline constexpr std::array<CurveSharpness, 6> kCurveSharpness{{
    {'1', 0.0001, 10000},
    {'2', 0.0002, 5000},
    {'3', 0.0004, 2500},
    {'4', 0.001, 1000},
    {'5', 0.002, 500},
    {'6', 0.003, 333},
}};

// --- Where objects and their marks go -------------------------------------------------------------

/// A slowdown that starts beyond this position has a warning mark this far before its start, and
/// (with f_ta) this many approach cells right before the warning mark, metres.
inline constexpr int32_t kLastStartWithoutWarning = 1500;
inline constexpr int32_t kSlowdownWarningDistance = 1200;
inline constexpr int32_t kSlowdownApproachCells = 4;
/// A signal's approach marks: in every second cell before it, four of them.
inline constexpr int32_t kSignalApproachMarks = 4;
inline constexpr int32_t kSignalApproachStep = 2;
/// A station's mark stands in the cell before the end of its platform; the four cells before the mark
/// carry the approach marks 81 (next to it) to 84.
inline constexpr int32_t kStationApproachMarks = 4;
inline constexpr int32_t kStationApproachBase = 80;
/// Station kinds: 5 and 6 have their platform before the position, 7 and 8 reach the platform's length
/// on both sides; from 25 on nothing is placed in the grid.
inline constexpr int32_t kStationKindBeforeFirst = 5;
inline constexpr int32_t kStationKindBeforeSecond = 6;
inline constexpr int32_t kStationKindBothSidesFirst = 7;
inline constexpr int32_t kStationKindBothSidesSecond = 8;
inline constexpr int32_t kFirstStationKindOffGrid = 25;
/// A mountain type above this value asks for markers, and is stored less this value.
inline constexpr int32_t kMountainMarkerTypeOffset = 10;
constexpr bool mountain_markers_asked(int32_t given) { return given > kMountainMarkerTypeOffset; }
/// The type a stretch asks for: the type given, less 10 when it asks for markers.
constexpr int32_t mountain_type_asked(int32_t given) {
  return mountain_markers_asked(given) ? given - kMountainMarkerTypeOffset : given;
}
/// With markers, every this many cells of a stretch (counted from its first) gets one.
inline constexpr int32_t kMountainMarkerEvery = 4;
/// A stretch that starts at most this far after the previous stretch's end gets type kJoinedStretchType.
inline constexpr int32_t kJoinedStretchGap = 150;
inline constexpr int32_t kJoinedStretchType = 3;

// --- Packed values of single objects ------------------------------------------------------------

/// A speed board's value: round(other side / 5 + first side x 20), one per pair of speeds (a, b, c).
inline constexpr int32_t kBoardFirstSideFactor = 20;
inline constexpr int32_t kBoardOtherSideUnit = 5;
/// A speed board's value4, and the three values of a signal: first x 10 + second.
inline constexpr int32_t kPairFactor = 10;
/// A signal's value4: rapp x 10 + sx x 3 + dx; its approach marks (sx x 3 + dx) x 10 + k.
inline constexpr int32_t kSignalSideFactor = 3;

/// The two speeds of one packed speed-board value, km/h.
struct BoardSpeeds {
  int first_side;
  int other_side;
};
constexpr BoardSpeeds unpack_board_speeds(int16_t packed) {
  return {packed / kBoardFirstSideFactor, packed % kBoardFirstSideFactor * kBoardOtherSideUnit};
}

// --- Kilometric references ------------------------------------------------------------------------

/// A kilometric reference whose flag is this value counts down from its value; reading it added
/// kKilometricFlagAddition to the value stored.
inline constexpr int32_t kKilometricCountingDown = 1;
inline constexpr int32_t kKilometricFlagAddition = 100;

// --- Reserved places of the output --------------------------------------------------------------

/// Markers stamped beside the two competition codes: in record 85's short1, and in cell 1's value1.
inline constexpr int16_t kTableMarker = 610;
inline constexpr int16_t kGridMarker = 5121;
/// The cell that carries the grid's marker and code.
inline constexpr int32_t kCodeCell = 1;

// --- Cell kinds ---------------------------------------------------------------------------------

/// The name of a cell kind code as the tools show it ("Signal", "SlowdownWarning", ...), or nothing for a
/// code no procedure writes.
std::optional<std::string_view> cell_kind_name(uint8_t kind);
