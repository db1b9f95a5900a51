#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "platform/process_start.h"
#include "platform/windows_system.h"

void use_binary_standard_streams() {
  std::fflush(stdout);
  std::fflush(stderr);
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

std::vector<std::string> command_line_words(int argc, char** argv) {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (words == nullptr) return {argv, argv + argc};
  std::vector<std::string> utf8;
  utf8.reserve(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) utf8.push_back(windows_system::narrow(words[k]));
  LocalFree(words);
  return utf8;
}
