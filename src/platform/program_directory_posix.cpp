#include "platform/program_directory.h"

#include <limits.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/file_error.h"

std::string program_directory() {
  std::string buffer(PATH_MAX, '\0');
  const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
  if (length < 0) throw FileError("/proc/self/exe", std::strerror(errno));
  buffer.resize(static_cast<std::size_t>(length));
  const auto slash = buffer.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return buffer.substr(0, slash);
}
