#pragma once

#include <cstdint>

/// The two text sources of a scenario.
enum class SourceKind : uint8_t { Line, Service };

/// Where a field starts in its source: 1-based line, and 1-based column counted in bytes. Line 0 is no
/// place.
struct SourcePlace {
  SourceKind source = SourceKind::Line;
  int line = 0;
  int column = 0;

  explicit operator bool() const { return line > 0; }
  bool operator==(const SourcePlace&) const = default;
};
