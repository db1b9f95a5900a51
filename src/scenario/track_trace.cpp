#include "scenario/track_trace.h"

#include <stdexcept>

void TrackTrace::create(int32_t grid_extent) {
  metres_ = grid_extent + 1;
  const auto elements = 2 * static_cast<std::size_t>(metres_);
  values_.clear();
  values_.resize(elements);  // not zeroed (LargeAllocator): a value is read only once it is set
  tags_.assign(elements, static_cast<uint16_t>(TraceTag::Empty));
}

void TrackTrace::set_integer(int32_t metre, int axis, int16_t value) {
  const std::size_t element = checked_index(metre, axis);
  values_[element] = value;
  tags_[element] = static_cast<uint16_t>(TraceTag::Integer);
}

void TrackTrace::outside(int32_t metre) const {
  throw std::out_of_range("trace metre " + std::to_string(metre) + " outside the trace");
}
