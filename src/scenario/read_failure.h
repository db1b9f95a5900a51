#pragma once

#include <stdexcept>
#include <string>

#include "scenario/source_place.h"

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
