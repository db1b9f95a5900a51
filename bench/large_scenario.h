#pragma once

#include <string>

/// The two sources of the largest line the format accepts: 1,000,000 m with curves, gradients,
/// mountains, speed and information boards, stations, signals and slowdowns spread over it. It
/// compiles without error. A shorter `length` (a multiple of 50) gives the same pattern up to it.
struct LargeScenario {
  std::string line;
  std::string service;
};

/// The speed boards the largest line has unless asked for more: one every 20 km.
inline constexpr int kLargeScenarioSpeedBoards = 50;
/// The most speed boards the largest line can take: one in nearly every cell that nothing else needs.
inline constexpr int kLargeScenarioMostSpeedBoards = 10000;
/// The length of the largest line, metres.
inline constexpr int kLargeScenarioLength = 1000000;

/// The largest line's pattern on a line of `length` metres (the entries that lie on it), with
/// `speed_boards` speed boards on the largest line (kLargeScenarioSpeedBoards to
/// kLargeScenarioMostSpeedBoards): the 50 of the line, and the rest spread evenly over the cells that no
/// other object, approach mark or mountain stretch uses. A shorter line takes only its own boards.
LargeScenario large_scenario(int length = kLargeScenarioLength, int speed_boards = kLargeScenarioSpeedBoards);
