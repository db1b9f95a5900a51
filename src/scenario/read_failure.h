#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

/// The two text sources of a scenario.
enum class SourceKind : uint8_t { Line, Service };

/// Where a field starts in its source: 1-based line, and 1-based column counted in bytes.
struct SourcePlace {
  SourceKind source = SourceKind::Line;
  int line = 0;
  int column = 0;
};

/// A read failure: a field that is not what the entry needs, a read past the end of the file, a
/// number that does not fit its target, or arithmetic on values read that leaves 32 bits. It ends the
/// reading with error code 25.
class ReadFailure : public std::runtime_error {
 public:
  ReadFailure(const std::string& what, SourcePlace place = {}) : std::runtime_error(what), place_(place) {}
  SourcePlace place() const { return place_; }

 private:
  SourcePlace place_;
};
