#include "platform/file_replacement.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <memory>
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

/// Writes each piece straight to the temporary file.
class DescriptorSink : public ByteSink {
 public:
  DescriptorSink(int fd, const std::string& path) : fd_(fd), path_(path) {}
  void write(std::string_view bytes) override {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
      const ssize_t written = ::write(fd_, data, left);
      if (written < 0) {
        if (errno == EINTR) continue;
        throw FileError(path_, system_reason(errno));
      }
      data += written;
      left -= static_cast<std::size_t>(written);
    }
    size_ += bytes.size();
  }
  std::uint64_t size() const { return size_; }

 private:
  int fd_;
  const std::string& path_;
  std::uint64_t size_ = 0;
};

/// One file of the set on its way: its temporary file and, while the set is put in place, its earlier
/// file kept aside under a second name (a hard link). Whatever of them is left goes with the object.
struct Pending {
  std::string path;
  std::string temporary;
  std::string earlier;  // the second name of the earlier file, while it is kept aside
  std::optional<RemovedOnInterrupt> removed_on_interrupt;
  bool had_earlier = false;

  ~Pending() { clean_up(); }
  void clean_up() {
    if (!temporary.empty()) unlink(temporary.c_str());
    temporary.clear();
    if (!earlier.empty()) unlink(earlier.c_str());
    earlier.clear();
  }
};

class PosixSteps : public ReplacementSteps {
 public:
  explicit PosixSteps(std::vector<std::unique_ptr<Pending>>& files) : files_(files) {}

  Status keep_earlier(std::size_t n) override {
    Pending& file = *files_[n];
    // Beside the temporary file, under a name no other file has; the link itself, never its target.
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::string name = file.temporary + "-" + std::to_string(attempt) + "~";
      if (linkat(AT_FDCWD, file.path.c_str(), AT_FDCWD, name.c_str(), 0) == 0) {
        file.earlier = name;
        return {};
      }
      if (errno != EEXIST) return Status::io_error(file.path, system_reason(errno));
    }
    return Status::io_error(file.path, system_reason(EEXIST));
  }
  Status move_into_place(std::size_t n) override {
    Pending& file = *files_[n];
    if (rename(file.temporary.c_str(), file.path.c_str()) != 0) return Status::io_error(file.path, system_reason(errno));
    file.temporary.clear();
    return {};
  }
  Status put_back(std::size_t n, bool had_earlier) override {
    Pending& file = *files_[n];
    if (had_earlier) {
      if (rename(file.earlier.c_str(), file.path.c_str()) != 0) return Status::io_error(file.path, system_reason(errno));
      file.earlier.clear();
    } else if (unlink(file.path.c_str()) != 0) {
      return Status::io_error(file.path, system_reason(errno));
    }
    return {};
  }
  void clean_up(std::size_t n) override { files_[n]->clean_up(); }

 private:
  std::vector<std::unique_ptr<Pending>>& files_;
};

}  // namespace

std::vector<std::uint64_t> replace_files(const std::vector<FileReplacement>& replacements) {
  std::vector<std::string> paths;
  for (const FileReplacement& replacement : replacements) paths.push_back(replacement.path);
  std::vector<std::unique_ptr<Pending>> files;
  std::vector<std::uint64_t> sizes;

  // Every file whole in its temporary file first: nothing is replaced while one may still fail.
  for (std::size_t n = 0; n < replacements.size(); ++n) {
    auto& file = *files.emplace_back(std::make_unique<Pending>());
    file.path = paths[n];
    std::string temporary = directory_of(file.path) + "/.scenario-XXXXXX";
    int fd = -1;
    {
      // Registered for removal in the same moment it is made: an interrupt comes before it exists or
      // after it is registered.
      const InterruptsDeferred deferred;
      fd = mkstemp(temporary.data());
      if (fd >= 0) {
        file.temporary = temporary;
        file.removed_on_interrupt.emplace(temporary);
      }
    }
    if (fd < 0) throw replacement_failure(paths, n, system_reason(errno));
    const auto fail = [&](const std::string& reason) {
      if (fd >= 0) close(fd);
      files.clear();
      throw replacement_failure(paths, n, reason);
    };
    // mkstemp creates the file with mode 0600.
    if (fchmod(fd, mode_for(file.path)) != 0) fail(system_reason(errno));
    DescriptorSink sink(fd, file.path);
    try {
      replacements[n].write(sink);
    } catch (const FileError& failure) {
      fail(failure.reason());
    } catch (...) {
      close(fd);
      throw;
    }
    sizes.push_back(sink.size());
    // On the disk before it takes the name: a power cut after the rename finds the whole file.
    if (fsync(fd) != 0) fail(system_reason(errno));
    const int closed = close(fd);
    fd = -1;
    if (closed != 0) fail(system_reason(errno));
  }

  // Every target looked at before the first is replaced: what would refuse the rename now refuses the set.
  std::vector<bool> had_earlier;
  for (std::size_t n = 0; n < files.size(); ++n) {
    struct stat info;
    const bool present = lstat(paths[n].c_str(), &info) == 0;
    if (present && S_ISDIR(info.st_mode)) {
      files.clear();
      throw replacement_failure(paths, n, system_reason(EISDIR));
    }
    had_earlier.push_back(present);
  }

  {
    const InterruptsDeferred deferred;
    PosixSteps steps(files);
    commit_replacements(paths, had_earlier, steps);
  }

  std::set<std::string> synced;
  for (const std::string& path : paths) {
    const std::string directory = directory_of(path);
    if (!synced.insert(directory).second) continue;
    if (const int error = sync_directory(directory); error != 0) throw FileError(path, system_reason(error));
  }
  return sizes;
}
