#include "compiler/track_trace.h"

void TrackTrace::create(int32_t grid_extent) {
  metres_ = grid_extent + 1;
  const auto elements = 2 * static_cast<std::size_t>(metres_);
  values_.assign(elements, 0.0);
  tags_.assign(elements, static_cast<uint16_t>(TraceTag::Empty));
}

void TrackTrace::set_integer(int32_t metre, int axis, int16_t value) {
  values_.at(index(metre, axis)) = value;
  tags_.at(index(metre, axis)) = static_cast<uint16_t>(TraceTag::Integer);
}

void TrackTrace::set_double(int32_t metre, int axis, double value) {
  values_.at(index(metre, axis)) = value;
  tags_.at(index(metre, axis)) = static_cast<uint16_t>(TraceTag::Double);
}
