#include "file_views/author_units.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>

#include "scenario/format.h"

namespace {

std::string str(int64_t value) { return std::to_string(value); }

uint64_t magnitude(int64_t value) {
  return value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

}  // namespace

std::string km_text(int64_t metres) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "km %s%" PRIu64 ".%03" PRIu64, metres < 0 ? "-" : "", magnitude(metres) / 1000,
                magnitude(metres) % 1000);
  return buffer;
}

std::string clock_text(int64_t seconds) {
  const uint64_t total = magnitude(seconds);
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%s%02" PRIu64 ":%02" PRIu64 ":%02" PRIu64, seconds < 0 ? "-" : "", total / 3600,
                total % 3600 / 60, total % 60);
  return buffer;
}

int64_t progressive_at(const std::vector<KilometricReference>& references, int64_t metre) {
  // Whole metres and references give a whole number, far inside the doubles' exact range.
  return static_cast<int64_t>(std::nearbyint(kilometric_progressive(references, static_cast<double>(metre))));
}

std::string place_text(const std::vector<KilometricReference>& references, int64_t metre) {
  std::string text = str(metre) + " m";
  if (!references.empty()) text += ", " + km_text(progressive_at(references, metre));
  return text;
}

std::string reference_text(const ScenarioRecord& record) {
  std::string text = "from " + str(record.number1) + " m at ";
  if (record.number3 == kKilometricCountingDown)
    return text + km_text(int64_t{record.number2} - kKilometricFlagAddition) + ", counting down (" +
           str(record.number2) + " stored: " + str(kKilometricFlagAddition) + " added for flag " +
           str(kKilometricCountingDown) + ")";
  return text + km_text(record.number2) + ", counting up";
}
