#include <memory>
#include <optional>
#include <random>
#include <stdexcept>

#include "platform/file_error.h"
#include "platform/file_replacement.h"
#include "platform/interrupt_cleanup.h"
#include "platform/replacement_commit.h"
#include "platform/windows_system.h"

using windows_system::Handle;
using windows_system::reason;

namespace {

std::string directory_of(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) {
    // "C:name" is in the drive's current directory.
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    return ".";
  }
  if (separator == 0 || (separator == 2 && path[1] == ':')) return path.substr(0, separator + 1);
  return path.substr(0, separator);
}

/// A name for the temporary file beside `path`'s, not taken by any other run.
std::string temporary_name(const std::string& directory) {
  static std::mt19937_64 numbers{std::random_device{}() ^ GetCurrentProcessId() ^ GetTickCount64()};
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::string name = ".scenario-";
  for (int k = 0; k < 8; ++k) name += kLetters[numbers() % (sizeof kLetters - 1)];
  const char last = directory.empty() ? '\0' : directory.back();
  return directory + (last == '\\' || last == '/' || last == ':' ? "" : "\\") + name;
}

/// A file open in another program without leave to delete it (as most programs open files) cannot be
/// replaced; a scanner that looks at a new file holds it for a moment only, so what it refuses is tried
/// again for a little while. Returns 0, or the last failure.
template <typename Step>
DWORD with_patience(Step step) {
  constexpr int kAttempts = 10;
  constexpr DWORD kPause = 50;  // ms
  for (int attempt = 1;; ++attempt) {
    if (step()) return 0;
    const DWORD failure = GetLastError();
    if (attempt == kAttempts || (failure != ERROR_ACCESS_DENIED && failure != ERROR_SHARING_VIOLATION)) return failure;
    Sleep(kPause);
  }
}

/// Writes each piece straight to the temporary file.
class HandleSink : public ByteSink {
 public:
  HandleSink(HANDLE file, const std::string& path) : file_(file), path_(path) {}
  void write(std::string_view bytes) override {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
      const DWORD chunk = left > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(left);
      DWORD written = 0;
      if (!WriteFile(file_, data, chunk, &written, nullptr)) throw FileError(path_, reason(GetLastError()));
      data += written;
      left -= written;
    }
    size_ += bytes.size();
  }
  std::uint64_t size() const { return size_; }

 private:
  HANDLE file_;
  const std::string& path_;
  std::uint64_t size_ = 0;
};

/// One file of the set on its way: its temporary file and, while the set is put in place, its earlier
/// file kept aside under a second name (a hard link). Whatever of them is left goes with the object.
struct Pending {
  std::wstring target;
  std::wstring temporary;
  std::wstring earlier;
  std::optional<RemovedOnInterrupt> removed_on_interrupt;

  ~Pending() { clean_up(); }
  void clean_up() {
    if (!temporary.empty()) DeleteFileW(temporary.c_str());
    temporary.clear();
    if (!earlier.empty()) DeleteFileW(earlier.c_str());
    earlier.clear();
  }
};

class WindowsSteps : public ReplacementSteps {
 public:
  WindowsSteps(std::vector<std::unique_ptr<Pending>>& files, const std::vector<std::string>& paths)
      : files_(files), paths_(paths) {}

  Status keep_earlier(std::size_t n) override {
    Pending& file = *files_[n];
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::wstring name = file.temporary + L"-" + std::to_wstring(attempt) + L"~";
      if (CreateHardLinkW(name.c_str(), file.target.c_str(), nullptr)) {
        file.earlier = name;
        return {};
      }
      const DWORD error = GetLastError();
      if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return Status::io_error(paths_[n], reason(error));
    }
    return Status::io_error(paths_[n], reason(ERROR_ALREADY_EXISTS));
  }
  Status move_into_place(std::size_t n) override {
    Pending& file = *files_[n];
    // The rename goes to the disk before the call returns.
    const DWORD error = with_patience([&] {
      return MoveFileExW(file.temporary.c_str(), file.target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    });
    if (error != 0) return Status::io_error(paths_[n], reason(error));
    file.temporary.clear();
    return {};
  }
  Status put_back(std::size_t n, bool had_earlier) override {
    Pending& file = *files_[n];
    const DWORD error = with_patience([&] {
      return had_earlier ? MoveFileExW(file.earlier.c_str(), file.target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                         : DeleteFileW(file.target.c_str());
    });
    if (error != 0) return Status::io_error(paths_[n], reason(error));
    if (had_earlier) file.earlier.clear();
    return {};
  }
  void clean_up(std::size_t n) override { files_[n]->clean_up(); }

 private:
  std::vector<std::unique_ptr<Pending>>& files_;
  const std::vector<std::string>& paths_;
};

/// Whether a file is at `target`, after checking that it can be replaced: not a directory, and not held
/// open by a program that keeps others from deleting it. 0 or the reason it cannot be replaced.
DWORD check_target(const std::wstring& target, bool& present) {
  const DWORD attributes = GetFileAttributesW(target.c_str());
  present = attributes != INVALID_FILE_ATTRIBUTES;
  if (!present) return 0;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return ERROR_DIRECTORY;
  // The access a rename over the file needs: refused while a program holds it without leave to delete.
  return with_patience([&] {
    Handle probe(CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return probe.valid();
  });
}

}  // namespace

std::vector<std::uint64_t> replace_files(const std::vector<FileReplacement>& replacements) {
  std::vector<std::string> paths;
  for (const FileReplacement& replacement : replacements) paths.push_back(replacement.path);
  std::vector<std::unique_ptr<Pending>> files;
  std::vector<std::uint64_t> sizes;

  // Every file whole in its temporary file first: nothing is replaced while one may still fail.
  for (std::size_t n = 0; n < replacements.size(); ++n) {
    auto& file = *files.emplace_back(std::make_unique<Pending>());
    try {
      file.target = windows_system::widen(paths[n]);
    } catch (const std::invalid_argument&) {
      files.clear();
      throw replacement_failure(paths, n, "the name is not UTF-8 text");
    }
    const std::string directory = directory_of(paths[n]);
    Handle handle;
    DWORD error = 0;
    for (int attempt = 0; attempt < 100 && !handle.valid(); ++attempt) {
      const std::string temporary = temporary_name(directory);
      const std::wstring temporary_wide = windows_system::widen(temporary);
      // Registered for removal in the same moment it is made: an interrupt comes before it exists or
      // after it is registered.
      const InterruptsDeferred deferred;
      handle.reset(CreateFileW(temporary_wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
      if (handle.valid()) {
        file.temporary = temporary_wide;
        file.removed_on_interrupt.emplace(temporary);
      } else {
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
      }
    }
    const auto fail = [&](const std::string& why) {
      handle.reset();
      files.clear();
      throw replacement_failure(paths, n, why);
    };
    if (!handle.valid()) fail(reason(error));
    HandleSink sink(handle.get(), paths[n]);
    try {
      replacements[n].write(sink);
    } catch (const FileError& failure) {
      fail(failure.reason());
    }
    sizes.push_back(sink.size());
    // On the disk before it takes the name: a power cut after the rename finds the whole file.
    if (!FlushFileBuffers(handle.get())) fail(reason(GetLastError()));
    handle.reset();
  }

  // Every target looked at before the first is replaced: what would refuse the rename now refuses the set.
  std::vector<bool> had_earlier;
  for (std::size_t n = 0; n < files.size(); ++n) {
    bool present = false;
    if (const DWORD error = check_target(files[n]->target, present); error != 0) {
      files.clear();
      throw replacement_failure(paths, n, error == ERROR_DIRECTORY ? "Is a directory" : reason(error));
    }
    had_earlier.push_back(present);
  }

  const InterruptsDeferred deferred;
  WindowsSteps steps(files, paths);
  commit_replacements(paths, had_earlier, steps);
  return sizes;
}
