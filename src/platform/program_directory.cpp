#include "platform/program_directory.h"

std::string path_in(const std::string& directory, const std::string& name) {
#ifdef _WIN32
  return directory + "\\" + name;
#else
  return directory + "/" + name;
#endif
}
