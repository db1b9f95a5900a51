#pragma once

#include "preview/picture.h"

/// Texts, lines and marks. Each kind differs from its neighbours in lightness and in line style, so
/// that a greyscale print keeps them apart.
namespace colour {
inline constexpr Colour kInk{0.10, 0.10, 0.10};
inline constexpr Colour kMuted{0.38, 0.38, 0.38};
inline constexpr Colour kFrame{0.55, 0.55, 0.55};
inline constexpr Colour kGridLine{0.86, 0.86, 0.86};
inline constexpr Colour kPaper{1, 1, 1};
inline constexpr Colour kTrack{0.05, 0.05, 0.05};
inline constexpr Colour kLeader{0.50, 0.50, 0.50};
inline constexpr Colour kStation{0.72, 0.10, 0.08};
inline constexpr Colour kStationGuide{0.72, 0.10, 0.08, 0.45};
inline constexpr Colour kStart{0.15, 0.55, 0.20};
inline constexpr Colour kEnd{0.50, 0.12, 0.62};
inline constexpr Colour kSignal{0.12, 0.12, 0.12};
inline constexpr Colour kSpeedBoard{0.15, 0.35, 0.75};
inline constexpr Colour kInfoBoard{1.00, 0.85, 0.30};
inline constexpr Colour kTerrain{0.90, 0.90, 0.90};
inline constexpr Colour kHeight{0.0, 0.0, 0.0};
inline constexpr Colour kMountain{0.35, 0.55, 0.30, 0.45};
inline constexpr Colour kSpeed{0.20, 0.45, 0.90};
inline constexpr Colour kSlowdownBand{1.00, 0.70, 0.30, 0.40};
inline constexpr Colour kSlowdownLine{0.85, 0.38, 0.00};
inline constexpr Colour kRun{0.05, 0.50, 0.30};
inline constexpr Colour kTimetable{0.72, 0.10, 0.08};
}  // namespace colour
