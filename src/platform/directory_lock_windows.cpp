#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <set>
#include <stdexcept>

#include "platform/directory_lock.h"
#include "platform/file_error.h"
#include "platform/windows_system.h"

using windows_system::Handle;

namespace {

// A mutex counts its owner's waits, so a second hold in the same thread would be granted: the names
// held in this process are kept here and refused before the system is asked.
std::mutex held_names_guard;
std::set<std::wstring> held_names;

/// The mutex's name: the same for every path of the directory (its volume and its index on the volume).
std::wstring mutex_name(const std::string& directory) {
  std::wstring name;
  try {
    name = windows_system::widen(directory);
  } catch (const std::invalid_argument&) {
    throw FileError(directory, "the name is not UTF-8 text");
  }
  const Handle opened(CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!opened.valid()) throw FileError(directory, windows_system::reason(GetLastError()));
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(opened.get(), &information))
    throw FileError(directory, windows_system::reason(GetLastError()));
  if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    throw FileError(directory, std::strerror(ENOTDIR));
  wchar_t text[80];
  std::swprintf(text, sizeof text / sizeof text[0], L"scenario-directory-%08lx-%08lx%08lx",
                static_cast<unsigned long>(information.dwVolumeSerialNumber),
                static_cast<unsigned long>(information.nFileIndexHigh),
                static_cast<unsigned long>(information.nFileIndexLow));
  return text;
}

}  // namespace

struct DirectoryLock::System {
  Handle mutex;
  std::wstring name;
  ~System() {
    // Let go by the thread that took it; a mutex whose owner ends is free for the next one anyway.
    ReleaseMutex(mutex.get());
    const std::lock_guard guard(held_names_guard);
    held_names.erase(name);
  }
};

DirectoryLock::DirectoryLock() = default;
DirectoryLock::~DirectoryLock() = default;
DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept = default;
DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept = default;

bool DirectoryLock::try_lock(const std::string& directory) {
  if (system_) return true;
  const std::wstring name = mutex_name(directory);
  const std::lock_guard guard(held_names_guard);
  if (held_names.contains(name)) return false;
  // Every session's runs meet in the global names; where those are not open to the user, in the session's.
  Handle mutex(CreateMutexW(nullptr, FALSE, (L"Global\\" + name).c_str()));
  if (!mutex.valid()) mutex.reset(CreateMutexW(nullptr, FALSE, (L"Local\\" + name).c_str()));
  if (!mutex.valid()) throw FileError(directory, windows_system::reason(GetLastError()));
  switch (WaitForSingleObject(mutex.get(), 0)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its holder ended without letting go: the directory is free
      break;
    case WAIT_TIMEOUT:
      return false;
    default:
      throw FileError(directory, windows_system::reason(GetLastError()));
  }
  held_names.insert(name);
  system_.reset(new System{Handle(mutex.release()), name});
  return true;
}
