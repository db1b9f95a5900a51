#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "scenario/diagnostics.h"
#include "scenario/source_place.h"

struct RunState;

/// An error found by the compilation: its code, and what goes with it.
struct Refusal {
  explicit Refusal(int32_t code, std::optional<int32_t> position = std::nullopt,
                   std::optional<SourcePlace> place = std::nullopt, std::string detail = {})
      : code(code), position(position), place(place), detail(std::move(detail)) {}

  int32_t code = 0;
  std::optional<int32_t> position;  // metres
  std::optional<SourcePlace> place;  // the field that gave it
  std::string detail;                // what exactly failed (a read failure's reason)
  std::vector<RelatedPlace> related;
};

/// Makes `refusal` the run's error (replacing an earlier one, as the format does) and reports it to the
/// diagnostics, with the cell its position speaks of.
void raise_error(RunState& state, Refusal refusal);
