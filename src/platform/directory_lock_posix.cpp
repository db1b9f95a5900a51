#include "platform/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/file_error.h"

struct DirectoryLock::System {
  int descriptor;
  ~System() { close(descriptor); }
};

DirectoryLock::DirectoryLock() = default;
DirectoryLock::~DirectoryLock() = default;
DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept = default;
DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept = default;

bool DirectoryLock::try_lock(const std::string& directory) {
  if (system_) return true;
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileError(directory, std::strerror(errno));
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      system_.reset(new System{fd});
      return true;
    }
    const int error = errno;
    if (error == EINTR) continue;
    close(fd);
    if (error == EWOULDBLOCK) return false;
    throw FileError(directory, std::strerror(error));
  }
}
