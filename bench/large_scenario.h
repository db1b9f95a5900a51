#pragma once

#include <string>

/// The two sources of the largest line the format accepts: 1,000,000 m with curves, gradients,
/// mountains, speed and information boards, stations, signals and slowdowns spread over it. It
/// compiles without error. A shorter `length` (a multiple of 50) gives the same pattern up to it.
struct LargeScenario {
  std::string line;
  std::string service;
};

LargeScenario large_scenario(int length = 1000000);
