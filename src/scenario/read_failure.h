#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "scenario/source_place.h"

/// What a read failure says when a field was wanted after the last byte.
inline constexpr const char* kReadPastTheEnd = "read past the end of the file";

/// A read failure: a field that is not what the entry needs, a read past the end of the file, a
/// number that does not fit its target, or arithmetic on values read that leaves 32 bits. It ends the
/// reading with error code 25.
class ReadFailure : public std::runtime_error {
 public:
  ReadFailure(const std::string& what, SourcePlace place = {}, std::optional<SourcePlace> field = std::nullopt)
      : std::runtime_error(what), place_(place), field_(field) {}
  /// Where the failure is reported: the field, or the entry it cut short.
  SourcePlace place() const { return place_; }
  /// The field that failed, when the failure is reported at its entry.
  std::optional<SourcePlace> field() const { return field_; }

 private:
  SourcePlace place_;
  std::optional<SourcePlace> field_;
};
