#include "preview/scale_numbers.h"

#include <cmath>
#include <cstdio>

double nice_at_least(double raw) {
  if (!(raw > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {1.0, 2.0, 5.0, 10.0})
    if (factor * power >= raw * (1 - 1e-9)) return factor * power;
  return 10 * power;
}

double nice_at_most(double raw) {
  if (!(raw > 0)) return 1;
  const double power = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double factor : {5.0, 2.0, 1.0})
    if (factor * power <= raw * (1 + 1e-9)) return factor * power;
  return power;
}

std::string fixed(double value, int decimals) {
  if (std::abs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;  // no "-0"
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}
