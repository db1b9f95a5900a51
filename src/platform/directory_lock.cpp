#include "platform/directory_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <utility>

#include "platform/file_error.h"

DirectoryLock::~DirectoryLock() {
  if (descriptor_ >= 0) close(descriptor_);
}

DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept : descriptor_(std::exchange(other.descriptor_, -1)) {}

DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept {
  if (this != &other) {
    if (descriptor_ >= 0) close(descriptor_);
    descriptor_ = std::exchange(other.descriptor_, -1);
  }
  return *this;
}

bool DirectoryLock::try_lock(const std::string& directory) {
  if (descriptor_ >= 0) return true;
  const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) throw FileError(directory, std::strerror(errno));
  for (;;) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
      descriptor_ = fd;
      return true;
    }
    const int error = errno;
    if (error == EINTR) continue;
    close(fd);
    if (error == EWOULDBLOCK) return false;
    throw FileError(directory, std::strerror(error));
  }
}
