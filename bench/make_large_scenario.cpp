// Writes the largest line's two sources into a directory: K_linea.txt and K_1-.txt; with LENGTH, the
// same pattern on a line of that many metres.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "large_scenario.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_large_scenario DIRECTORY [LENGTH]\n");
    return 2;
  }
  const LargeScenario large = argc == 3 ? large_scenario(std::atoi(argv[2])) : large_scenario();
  const std::string directory = argv[1];
  std::ofstream(directory + "/K_linea.txt", std::ios::binary) << large.line;
  std::ofstream(directory + "/K_1-.txt", std::ios::binary) << large.service;
  return 0;
}
