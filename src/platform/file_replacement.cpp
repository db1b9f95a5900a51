#include "platform/file_replacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_error.h"

namespace {

std::string directory_of(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string system_reason(int error) { return std::strerror(error); }

}  // namespace

void replace_file(const std::string& path, std::string_view bytes) {
  std::string temporary = directory_of(path) + "/.scenario-XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) throw FileError(path, system_reason(errno));

  auto fail = [&](int error) {
    close(fd);
    unlink(temporary.c_str());
    throw FileError(path, system_reason(error));
  };
  // mkstemp creates the file with mode 0600; give it the usual mode of a new file.
  const mode_t mask = umask(0);
  umask(mask);
  if (fchmod(fd, 0666 & ~mask) != 0) fail(errno);

  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (close(fd) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    throw FileError(path, system_reason(error));
  }
  if (rename(temporary.c_str(), path.c_str()) != 0) {
    const int error = errno;
    unlink(temporary.c_str());
    throw FileError(path, system_reason(error));
  }
}
