#include "platform/file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <optional>
#include <set>

#include "platform/interrupt_cleanup.h"
#include "platform/replacement_commit.h"

namespace {

std::string directory_of(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string system_reason(int error) { return std::strerror(error); }

/// The permission bits the new file gets: those of the regular file it replaces, or those of any new
/// file (0666 less the process's mask). A symbolic link in the target's place is what is replaced: the
/// file it leads to is never looked at.
mode_t mode_for(const std::string& path) {
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 0777;
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

/// Writes each piece straight to the temporary file, at its end or at its place.
class DescriptorSink : public ByteSink {
 public:
  DescriptorSink(int fd, const std::string& path) : fd_(fd), path_(path) {}
  void write(std::string_view bytes) override { write_whole(bytes, std::nullopt); }
  void write_at(std::uint64_t offset, std::string_view bytes) override { write_whole(bytes, offset); }

 private:
  /// Writes every byte, at the file's position or from `offset`.
  void write_whole(std::string_view bytes, std::optional<std::uint64_t> offset) {
    while (!bytes.empty()) {
      const ssize_t written = offset ? ::pwrite(fd_, bytes.data(), bytes.size(), static_cast<off_t>(*offset))
                                     : ::write(fd_, bytes.data(), bytes.size());
      if (written < 0) {
        if (errno == EINTR) continue;
        throw FileError(path_, system_reason(errno));
      }
      bytes.remove_prefix(static_cast<std::size_t>(written));
      if (offset) *offset += static_cast<std::uint64_t>(written);
    }
  }

  int fd_;
  const std::string& path_;
};

/// One file of the set on its way: its temporary file and, while the set is put in place, its earlier
/// file kept aside under a second name (a hard link).
struct Pending {
  std::string path;
  std::string temporary;
  std::string earlier;
  int fd = -1;
  std::optional<DescriptorSink> sink;
  std::optional<RemovedOnInterrupt> removed_on_interrupt;
};

class PosixSteps : public ReplacementSteps {
 public:
  explicit PosixSteps(const std::vector<FileReplacement>& files) : files_(files.size()) {
    for (std::size_t n = 0; n < files.size(); ++n) files_[n].path = files[n].path;
  }
  ~PosixSteps() {
    for (std::size_t n = 0; n < files_.size(); ++n) clean_up(n);
  }

  Result<ByteSink*> make_temporary(std::size_t n) override {
    Pending& file = files_[n];
    std::string temporary = directory_of(file.path) + "/.scenario-XXXXXX";
    {
      // Registered for removal in the same moment it is made: an interrupt comes before it exists or
      // after it is registered.
      const InterruptsDeferred deferred;
      file.fd = mkstemp(temporary.data());
      if (file.fd < 0) return failure(n);
      file.temporary = temporary;
      file.removed_on_interrupt.emplace(temporary);
    }
    // mkstemp creates the file with mode 0600.
    if (fchmod(file.fd, mode_for(file.path)) != 0) return failure(n);
    return &file.sink.emplace(file.fd, file.path);
  }
  Status finish_temporary(std::size_t n) override {
    Pending& file = files_[n];
    if (fsync(file.fd) != 0) return failure(n);
    const int closed = close(file.fd);
    file.fd = -1;
    if (closed != 0) return failure(n);
    return {};
  }
  Result<bool> check_target(std::size_t n) override {
    struct stat info;
    if (lstat(files_[n].path.c_str(), &info) != 0) return false;
    if (S_ISDIR(info.st_mode)) return Status::io_error(files_[n].path, system_reason(EISDIR));
    return true;
  }
  Status keep_earlier(std::size_t n) override {
    Pending& file = files_[n];
    // Beside the temporary file, under a name no other file has; the link itself, never its target.
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = file.temporary + "-" + std::to_string(attempt) + "~";
      if (linkat(AT_FDCWD, file.path.c_str(), AT_FDCWD, name.c_str(), 0) == 0) {
        file.earlier = name;
        return {};
      }
      if (errno != EEXIST) return failure(n);
    }
    return Status::io_error(file.path, system_reason(EEXIST));
  }
  Status move_into_place(std::size_t n) override {
    Pending& file = files_[n];
    if (rename(file.temporary.c_str(), file.path.c_str()) != 0) return failure(n);
    file.temporary.clear();
    return {};
  }
  Status put_back(std::size_t n, bool had_earlier) override {
    Pending& file = files_[n];
    if (had_earlier ? rename(file.earlier.c_str(), file.path.c_str()) != 0 : unlink(file.path.c_str()) != 0)
      return failure(n);
    if (had_earlier) file.earlier.clear();
    return {};
  }
  void clean_up(std::size_t n) override {
    Pending& file = files_[n];
    if (file.fd >= 0) close(file.fd);
    file.fd = -1;
    if (!file.temporary.empty()) unlink(file.temporary.c_str());
    file.temporary.clear();
    if (!file.earlier.empty()) unlink(file.earlier.c_str());
    file.earlier.clear();
  }
  Status make_durable() override {
    std::set<std::string> synced;
    for (const Pending& file : files_) {
      const std::string directory = directory_of(file.path);
      if (!synced.insert(directory).second) continue;
      if (const int error = sync_directory(directory); error != 0)
        return Status::io_error(file.path, system_reason(error));
    }
    return {};
  }

 private:
  /// The failure of the system call just made on file `n`.
  Status failure(std::size_t n) const { return Status::io_error(files_[n].path, system_reason(errno)); }

  std::vector<Pending> files_;
};

}  // namespace

std::vector<std::uint64_t> replace_files(const std::vector<FileReplacement>& files) {
  PosixSteps steps(files);
  return replace_through(files, steps);
}
