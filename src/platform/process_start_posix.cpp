#include "platform/process_start.h"

void use_binary_standard_streams() {}

std::vector<std::string> command_line_words(int argc, char** argv) { return {argv, argv + argc}; }
