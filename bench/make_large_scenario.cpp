// Writes the largest line's two sources into a directory: K_linea.txt and K_1-.txt; with LENGTH, the
// same pattern on a line of that many metres; with SPEED_BOARDS, the largest line with that many boards.
//   make_large_scenario DIRECTORY [LENGTH [SPEED_BOARDS]]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "large_scenario.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 4) {
    std::fprintf(stderr, "usage: make_large_scenario DIRECTORY [LENGTH [SPEED_BOARDS]]\n");
    return 2;
  }
  const int length = argc >= 3 ? std::atoi(argv[2]) : kLargeScenarioLength;
  const int boards = argc == 4 ? std::atoi(argv[3]) : kLargeScenarioSpeedBoards;
  if (boards < kLargeScenarioSpeedBoards || boards > kLargeScenarioMostSpeedBoards ||
      (length != kLargeScenarioLength && boards != kLargeScenarioSpeedBoards)) {
    std::fprintf(stderr, "make_large_scenario: SPEED_BOARDS must be %d to %d, on the largest line only\n",
                 kLargeScenarioSpeedBoards, kLargeScenarioMostSpeedBoards);
    return 2;
  }
  const LargeScenario large = large_scenario(length, boards);
  const std::string directory = argv[1];
  std::ofstream(directory + "/K_linea.txt", std::ios::binary) << large.line;
  std::ofstream(directory + "/K_1-.txt", std::ios::binary) << large.service;
  return 0;
}
