#include <optional>
#include <random>
#include <stdexcept>

#include "platform/file_error.h"
#include "platform/file_replacement.h"
#include "platform/interrupt_cleanup.h"
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

}  // namespace

void replace_file(const std::string& path, std::string_view bytes) {
  std::wstring target;
  try {
    target = windows_system::widen(path);
  } catch (const std::invalid_argument&) {
    throw FileError(path, "the name is not UTF-8 text");
  }
  const std::string directory = directory_of(path);

  // The temporary file is registered for removal in the same moment it is made: an interrupt comes
  // before it exists or after it is registered.
  std::optional<RemovedOnInterrupt> removed_on_interrupt;
  std::string temporary;
  std::wstring temporary_wide;
  Handle file;
  DWORD error = 0;
  for (int attempt = 0; attempt < 100 && !file.valid(); ++attempt) {
    temporary = temporary_name(directory);
    temporary_wide = windows_system::widen(temporary);
    const InterruptsDeferred deferred;
    file.reset(CreateFileW(temporary_wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.valid()) {
      removed_on_interrupt.emplace(temporary);
    } else {
      error = GetLastError();
      if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
  }
  if (!file.valid()) throw FileError(path, reason(error));

  auto fail = [&](DWORD failure) {
    file.reset();
    DeleteFileW(temporary_wide.c_str());
    throw FileError(path, reason(failure));
  };
  const char* data = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const DWORD chunk = left > (DWORD{1} << 30) ? (DWORD{1} << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!WriteFile(file.get(), data, chunk, &written, nullptr)) fail(GetLastError());
    data += written;
    left -= written;
  }
  // On the disk before it takes the name: a power cut after the rename finds the whole file.
  if (!FlushFileBuffers(file.get())) fail(GetLastError());
  file.reset();
  // The rename goes to the disk before the call returns. A file open in another program without leave to
  // delete it (as most programs open files) cannot be replaced; a scanner that looks at a new file holds
  // it for a moment only, so the rename is tried again for a little while.
  constexpr int kAttempts = 10;
  constexpr DWORD kPause = 50;  // ms
  for (int attempt = 1;; ++attempt) {
    if (MoveFileExW(temporary_wide.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) break;
    const DWORD failure = GetLastError();
    if (attempt == kAttempts || (failure != ERROR_ACCESS_DENIED && failure != ERROR_SHARING_VIOLATION)) fail(failure);
    Sleep(kPause);
  }
}
