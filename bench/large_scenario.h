#pragma once

#include <string>

/// The two sources of the largest line the format accepts: 1,000,000 m with curves, gradients,
/// mountains, speed and information boards, stations, signals and slowdowns spread over it. It
/// compiles without error.
struct LargeScenario {
  std::string line;
  std::string service;
};

LargeScenario large_scenario();
