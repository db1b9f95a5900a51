#pragma once

#include <cstdint>

/// What occupies a track cell. Codes 7, 8 and 9 are never written.
enum class CellKind : uint8_t {
  Plain = 0,
  Signal = 1,
  SlowdownEnd = 2,
  SlowdownStart = 3,
  SlowdownWarning = 4,
  SlowdownApproach = 5,
  SpeedBoard = 6,
  StationMark = 10,
  MountainMarker = 11,
  ControlPoint = 12,
  ControlPointNoValue = 13,
  InfoBoard = 14,
};

/// One 50-metre stretch of the line. The first seven fields belong to the single object placed in the
/// cell; the last four are the line profile, filled for runs of cells.
struct TrackCell {
  uint8_t kind = 0;  // a CellKind code
  int16_t value1 = 0;
  int16_t value2 = 0;
  int16_t value3 = 0;
  int16_t value4 = 0;
  uint8_t signalTime = 0;
  uint8_t approachMark = 0;
  uint8_t mountainType = 0;
  uint8_t speedLimit = 0;
  uint8_t gradient = 0;  // gradient per mille plus 100
  uint8_t adhesion = 0;

  CellKind cell_kind() const { return static_cast<CellKind>(kind); }
  void set_kind(CellKind k) { kind = static_cast<uint8_t>(k); }
  bool is(CellKind k) const { return kind == static_cast<uint8_t>(k); }
  /// A cell is free for a new object when it is plain or holds only a mountain marker.
  bool is_free() const { return is(CellKind::Plain) || is(CellKind::MountainMarker); }
};
