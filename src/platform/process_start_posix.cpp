#include "platform/process_start.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

void use_binary_standard_streams() {}

std::vector<std::string> command_line_words(int argc, char** argv) { return {argv, argv + argc}; }

std::string run_program_in_place(const std::string& path, const std::vector<std::string>& words) {
  std::vector<char*> arguments;
  for (const std::string& word : words) arguments.push_back(const_cast<char*>(word.c_str()));
  arguments.push_back(nullptr);
  execv(path.c_str(), arguments.data());
  return std::strerror(errno);
}
