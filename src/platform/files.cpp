#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_error.h"

bool file_exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::string read_file(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileError(path, std::strerror(errno));
  std::string content;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      const int error = errno;
      close(fd);
      throw FileError(path, std::strerror(error));
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  close(fd);
  return content;
}

std::string read_regular_file(const std::string& path, uint64_t max_size) {
  // A first look without opening: opening a device or a pipe may itself block or act.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) throw FileError(path, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw FileError(path, "not a regular file");
  if (static_cast<uint64_t>(info.st_size) > max_size) throw FileTooLarge(path, static_cast<uint64_t>(info.st_size), max_size);
  // The name may have been replaced meanwhile: what was opened is checked again, and a pipe put there
  // is not waited for.
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw FileError(path, std::strerror(errno));
  const auto fail = [&](const auto& failure) {
    close(fd);
    throw failure;
  };
  if (fstat(fd, &info) != 0) fail(FileError(path, std::strerror(errno)));
  if (!S_ISREG(info.st_mode)) fail(FileError(path, "not a regular file"));
  const auto size = static_cast<uint64_t>(info.st_size);
  if (size > max_size) fail(FileTooLarge(path, size, max_size));
  std::string content;
  content.reserve(static_cast<std::size_t>(size));
  char buffer[1 << 16];
  for (;;) {
    // One byte beyond the limit is enough to know that a file which grew is too large.
    const uint64_t room = max_size + 1 - content.size();
    const ssize_t got = read(fd, buffer, static_cast<std::size_t>(std::min<uint64_t>(sizeof buffer, room)));
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      fail(FileError(path, std::strerror(errno)));
    }
    content.append(buffer, static_cast<std::size_t>(got));
    if (content.size() > max_size) fail(FileTooLarge(path, content.size(), max_size));
  }
  close(fd);
  return content;
}

void delete_file_if_present(const std::string& path) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) throw FileError(path, std::strerror(errno));
}
