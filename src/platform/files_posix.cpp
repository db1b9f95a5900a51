#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include "platform/file_error.h"

namespace {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool file_exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

std::string read_file(const std::string& path, ReadLimit limit) {
  // Looked at before it is opened, so that a device is never opened at all; opened without blocking, so
  // that a pipe put in its place meanwhile cannot hold the open, and looked at again through the descriptor.
  struct stat info;
  if (stat(path.c_str(), &info) != 0) throw FileError(path, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw FileError(path, "not a regular file");
  const Descriptor file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (file.get() < 0) throw FileError(path, std::strerror(errno));
  if (fstat(file.get(), &info) != 0) throw FileError(path, std::strerror(errno));
  if (!S_ISREG(info.st_mode)) throw FileError(path, "not a regular file");
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > limit.bytes) throw FileTooLarge(path, size, limit.bytes, size_refusal(size, limit));

  std::string content;
  content.reserve(static_cast<std::size_t>(size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw FileError(path, std::strerror(errno));
    }
    // A file that grows while it is read is held to the same bound.
    if (static_cast<std::uint64_t>(got) > limit.bytes - content.size())
      throw FileTooLarge(path, content.size() + static_cast<std::uint64_t>(got), limit.bytes,
                         size_refusal(content.size() + static_cast<std::uint64_t>(got), limit));
    content.append(buffer, static_cast<std::size_t>(got));
  }
  return content;
}

void delete_file_if_present(const std::string& path) {
  if (unlink(path.c_str()) != 0 && errno != ENOENT) throw FileError(path, std::strerror(errno));
}

std::optional<FileIdentity> file_identity(const std::string& path) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

Status check_new_name(const std::string&) { return {}; }
