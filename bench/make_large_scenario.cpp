// Writes the largest line's two sources into a directory: K_linea.txt and K_1-.txt.
#include <cstdio>
#include <fstream>
#include <string>

#include "large_scenario.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_large_scenario DIRECTORY\n");
    return 2;
  }
  const LargeScenario large = large_scenario();
  const std::string directory = argv[1];
  std::ofstream(directory + "/K_linea.txt", std::ios::binary) << large.line;
  std::ofstream(directory + "/K_1-.txt", std::ios::binary) << large.service;
  return 0;
}
