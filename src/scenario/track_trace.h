#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/large_allocator.h"

/// Type code of a tagged value of the plan trace, as the trace file stores it.
enum class TraceTag : uint16_t { Empty = 0, Integer = 2, Double = 5 };

/// The plan of the line: one (X, Y) point per metre 0 to grid extent, each coordinate a tagged value
/// (empty, a 16-bit integer, or a double). Stored as the file lays it out: every X first, then every Y.
class TrackTrace {
 public:
  /// (Re-)creates the trace for metres 0 to `grid_extent`, every element empty. Only the type codes are
  /// written: a value is stored when its element is set.
  void create(int32_t grid_extent);
  bool exists() const { return !tags_.empty(); }
  /// The last metre of the trace (the grid extent).
  int32_t last_metre() const { return metres_ - 1; }
  /// Number of elements: two per metre.
  std::size_t size() const { return tags_.size(); }

  void set_integer(int32_t metre, int axis, int16_t value);
  void set_double(int32_t metre, int axis, double value) {
    const std::size_t element = checked_index(metre, axis);
    values_[element] = value;
    tags_[element] = static_cast<uint16_t>(TraceTag::Double);
  }
  /// The value as a double (an empty element reads as 0).
  double value(int32_t metre, int axis) const {
    const std::size_t element = index(metre, axis);
    return tags_[element] == static_cast<uint16_t>(TraceTag::Empty) ? 0.0 : values_[element];
  }
  TraceTag tag(int32_t metre, int axis) const { return static_cast<TraceTag>(tags_[index(metre, axis)]); }

  /// Element access in storage order (0 to size() - 1), for the writers.
  TraceTag tag_at(std::size_t element) const { return static_cast<TraceTag>(tags_[element]); }
  /// The value of an element that is not empty (an empty one holds none).
  double value_at(std::size_t element) const { return values_[element]; }

 private:
  std::size_t checked_index(int32_t metre, int axis) const {
    if (metre < 0 || metre >= metres_ || axis < 0 || axis > 1) outside(metre);
    return index(metre, axis);
  }
  [[noreturn]] void outside(int32_t metre) const;
  std::size_t index(int32_t metre, int axis) const {
    return static_cast<std::size_t>(axis) * static_cast<std::size_t>(metres_) + static_cast<std::size_t>(metre);
  }
  int32_t metres_ = 0;
  std::vector<double, LargeAllocator<double>> values_;
  std::vector<uint16_t, LargeAllocator<uint16_t>> tags_;
};

inline constexpr int kAxisX = 0;
inline constexpr int kAxisY = 1;
