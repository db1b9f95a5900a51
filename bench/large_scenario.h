#pragma once

#include <string>

/// The two sources of the largest line the format accepts: 1,000,000 m with curves, gradients,
/// mountains, speed and information boards, stations, signals and slowdowns spread over it. It
/// compiles without error.
struct LargeScenario {
  std::string line;
  std::string service;
};

/// The speed boards the largest line has unless asked for more: one every 20 km.
inline constexpr int kLargeScenarioSpeedBoards = 50;
/// The most speed boards the largest line can take: one in nearly every cell that nothing else needs.
inline constexpr int kLargeScenarioMostSpeedBoards = 10000;

/// The largest line with `speed_boards` speed boards (kLargeScenarioSpeedBoards to
/// kLargeScenarioMostSpeedBoards): the 50 of the line, and the rest spread evenly over the cells that
/// no other object, approach mark or mountain stretch uses.
LargeScenario large_scenario(int speed_boards = kLargeScenarioSpeedBoards);
