#include "scenario/format.h"

#include <array>
#include <utility>

#include "scenario/track_cell.h"

std::optional<std::string_view> cell_kind_name(uint8_t kind) {
  static constexpr std::array<std::pair<CellKind, std::string_view>, 12> kNames{{
      {CellKind::Plain, "Plain"},
      {CellKind::Signal, "Signal"},
      {CellKind::SlowdownEnd, "SlowdownEnd"},
      {CellKind::SlowdownStart, "SlowdownStart"},
      {CellKind::SlowdownWarning, "SlowdownWarning"},
      {CellKind::SlowdownApproach, "SlowdownApproach"},
      {CellKind::SpeedBoard, "SpeedBoard"},
      {CellKind::StationMark, "StationMark"},
      {CellKind::MountainMarker, "MountainMarker"},
      {CellKind::ControlPoint, "ControlPoint"},
      {CellKind::ControlPointNoValue, "ControlPointNoValue"},
      {CellKind::InfoBoard, "InfoBoard"},
  }};
  for (const auto& [code, name] : kNames)
    if (static_cast<uint8_t>(code) == kind) return name;
  return std::nullopt;
}
