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

/// Writes each piece straight to the temporary file, at its end or at its place.
class HandleSink : public ByteSink {
 public:
  HandleSink(HANDLE file, const std::string& path) : file_(file), path_(path) {}
  void write(std::string_view bytes) override { write_whole(bytes, std::nullopt); }
  void write_at(std::uint64_t offset, std::string_view bytes) override { write_whole(bytes, offset); }

 private:
  /// Writes every byte, at the file's position or from `offset`. On a handle opened for plain (not
  /// overlapped) writing, an offset places the write and the call returns once it is done.
  void write_whole(std::string_view bytes, std::optional<std::uint64_t> offset) {
    while (!bytes.empty()) {
      const DWORD chunk = bytes.size() > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(bytes.size());
      OVERLAPPED place{};
      if (offset) {
        place.Offset = static_cast<DWORD>(*offset);
        place.OffsetHigh = static_cast<DWORD>(*offset >> 32);
      }
      DWORD written = 0;
      if (!WriteFile(file_, bytes.data(), chunk, &written, offset ? &place : nullptr))
        throw FileError(path_, reason(GetLastError()));
      bytes.remove_prefix(written);
      if (offset) *offset += written;
    }
  }

  HANDLE file_;
  const std::string& path_;
};

/// One file of the set on its way: its temporary file and, while the set is put in place, its earlier
/// file kept aside under a second name (a hard link).
struct Pending {
  std::string path;
  std::wstring target;
  std::wstring temporary;
  std::wstring earlier;
  Handle handle;
  std::optional<HandleSink> sink;
  std::optional<RemovedOnInterrupt> removed_on_interrupt;
};

class WindowsSteps : public ReplacementSteps {
 public:
  explicit WindowsSteps(const std::vector<FileReplacement>& files) : files_(files.size()) {
    for (std::size_t n = 0; n < files.size(); ++n) files_[n].path = files[n].path;
  }
  ~WindowsSteps() {
    for (std::size_t n = 0; n < files_.size(); ++n) clean_up(n);
  }

  Result<ByteSink*> make_temporary(std::size_t n) override {
    Pending& file = files_[n];
    try {
      file.target = windows_system::widen(file.path);
    } catch (const std::invalid_argument&) {
      return Status::io_error(file.path, "the name is not UTF-8 text");
    }
    const std::string directory = directory_of(file.path);
    DWORD error = 0;
    for (int attempt = 0; attempt < 100 && !file.handle.valid(); ++attempt) {
      const std::string temporary = temporary_name(directory);
      const std::wstring temporary_wide = windows_system::widen(temporary);
      // Registered for removal in the same moment it is made: an interrupt comes before it exists or
      // after it is registered.
      const InterruptsDeferred deferred;
      file.handle.reset(
          CreateFileW(temporary_wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (file.handle.valid()) {
        file.temporary = temporary_wide;
        file.removed_on_interrupt.emplace(temporary);
      } else {
        error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
      }
    }
    if (!file.handle.valid()) return Status::io_error(file.path, reason(error));
    return &file.sink.emplace(file.handle.get(), file.path);
  }
  Status finish_temporary(std::size_t n) override {
    Pending& file = files_[n];
    if (!FlushFileBuffers(file.handle.get())) return failure(n, GetLastError());
    file.handle.reset();
    return {};
  }
  Result<bool> check_target(std::size_t n) override {
    const std::wstring& target = files_[n].target;
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Status::io_error(files_[n].path, "Is a directory");
    // The access a rename over the file needs: refused while a program holds it without leave to delete.
    const DWORD error = with_patience([&] {
      const Handle probe(CreateFileW(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                                     nullptr));
      return probe.valid();
    });
    if (error != 0) return failure(n, error);
    return true;
  }
  Status keep_earlier(std::size_t n) override {
    Pending& file = files_[n];
    for (int attempt = 0; attempt < 100; ++attempt) {
      const std::wstring name = file.temporary + L"-" + std::to_wstring(attempt) + L"~";
      if (CreateHardLinkW(name.c_str(), file.target.c_str(), nullptr)) {
        file.earlier = name;
        return {};
      }
      const DWORD error = GetLastError();
      if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return failure(n, error);
    }
    return failure(n, ERROR_ALREADY_EXISTS);
  }
  Status move_into_place(std::size_t n) override {
    Pending& file = files_[n];
    // The rename goes to the disk before the call returns.
    const DWORD error = with_patience([&] {
      return MoveFileExW(file.temporary.c_str(), file.target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    });
    if (error != 0) return failure(n, error);
    file.temporary.clear();
    return {};
  }
  Status put_back(std::size_t n, bool had_earlier) override {
    Pending& file = files_[n];
    const DWORD error = with_patience([&] {
      return had_earlier ? MoveFileExW(file.earlier.c_str(), file.target.c_str(),
                                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                         : DeleteFileW(file.target.c_str());
    });
    if (error != 0) return failure(n, error);
    if (had_earlier) file.earlier.clear();
    return {};
  }
  void clean_up(std::size_t n) override {
    Pending& file = files_[n];
    file.handle.reset();
    if (!file.temporary.empty()) DeleteFileW(file.temporary.c_str());
    file.temporary.clear();
    if (!file.earlier.empty()) DeleteFileW(file.earlier.c_str());
    file.earlier.clear();
  }
  // Every rename was written through.
  Status make_durable() override { return {}; }

 private:
  Status failure(std::size_t n, DWORD error) const { return Status::io_error(files_[n].path, reason(error)); }

  std::vector<Pending> files_;
};

}  // namespace

std::vector<std::uint64_t> replace_files(const std::vector<FileReplacement>& files) {
  WindowsSteps steps(files);
  return replace_through(files, steps);
}
