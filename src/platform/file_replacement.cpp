#include "platform/file_replacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "platform/file_error.h"
#include "platform/interrupt_cleanup.h"

namespace {

std::string directory_of(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string system_reason(int error) { return std::strerror(error); }

/// The permission bits the new file gets: those of the regular file it replaces, or those of any new
/// file (0666 less the process's mask).
mode_t mode_for(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 0777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

/// Makes a rename in `directory` last through a power cut. A file system that cannot sync a directory
/// (or a directory that cannot be opened for it) leaves it to the system; a failure of the sync itself
/// is the caller's failure.
int sync_directory(const std::string& directory) {
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return 0;
  int error = 0;
  if (fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP && errno != EBADF) error = errno;
  close(fd);
  return error;
}

}  // namespace

void replace_file(const std::string& path, std::string_view bytes) {
  const std::string directory = directory_of(path);
  std::string temporary = directory + "/.scenario-XXXXXX";
  // The temporary file is registered for removal in the same moment it is made: an interrupt comes
  // before it exists or after it is registered.
  std::optional<RemovedOnInterrupt> removed_on_interrupt;
  int fd = -1;
  {
    const InterruptsDeferred deferred;
    fd = mkstemp(temporary.data());
    if (fd >= 0) removed_on_interrupt.emplace(temporary);
  }
  if (fd < 0) throw FileError(path, system_reason(errno));

  auto fail = [&](int error) {
    if (fd >= 0) close(fd);
    unlink(temporary.c_str());
    throw FileError(path, system_reason(error));
  };
  // mkstemp creates the file with mode 0600.
  if (fchmod(fd, mode_for(path)) != 0) fail(errno);

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
  // On the disk before it takes the name: a power cut after the rename finds the whole file.
  if (fsync(fd) != 0) fail(errno);
  const int closed = close(fd);
  fd = -1;
  if (closed != 0) fail(errno);
  if (rename(temporary.c_str(), path.c_str()) != 0) fail(errno);
  if (const int error = sync_directory(directory); error != 0) throw FileError(path, system_reason(error));
}
