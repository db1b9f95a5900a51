// Writes the largest line's two sources into a directory: K_linea.txt and K_1-.txt.
//   make_large_scenario DIRECTORY [SPEED_BOARDS]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "large_scenario.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_large_scenario DIRECTORY [SPEED_BOARDS]\n");
    return 2;
  }
  const int boards = argc == 3 ? std::atoi(argv[2]) : kLargeScenarioSpeedBoards;
  if (boards < kLargeScenarioSpeedBoards || boards > kLargeScenarioMostSpeedBoards) {
    std::fprintf(stderr, "make_large_scenario: SPEED_BOARDS must be %d to %d\n", kLargeScenarioSpeedBoards,
                 kLargeScenarioMostSpeedBoards);
    return 2;
  }
  const LargeScenario large = large_scenario(boards);
  const std::string directory = argv[1];
  std::ofstream(directory + "/K_linea.txt", std::ios::binary) << large.line;
  std::ofstream(directory + "/K_1-.txt", std::ios::binary) << large.service;
  return 0;
}
