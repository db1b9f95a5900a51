#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>

#include "platform/file_error.h"
#include "platform/file_watch.h"
#include "platform/windows_system.h"

using windows_system::Handle;

namespace {

/// One watched directory: its handle, the read of its changes under way, and the names watched in it.
struct Directory {
  std::string path;
  Handle handle;
  Handle event;
  OVERLAPPED overlapped{};
  alignas(DWORD) unsigned char buffer[16384];
  std::set<std::wstring> names;
  bool pending = false;

  /// Asks for the next changes; false when the system refuses.
  bool start() {
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event.get();
    pending = ReadDirectoryChangesW(handle.get(), buffer, sizeof buffer, FALSE,
                                    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE,
                                    nullptr, &overlapped, nullptr) != 0;
    return pending;
  }

  /// Takes the changes that came (the event is set); true when one concerns a watched file. A full
  /// buffer loses the changes: then any file may have changed.
  bool take_changes() {
    DWORD got = 0;
    pending = false;
    const bool read = GetOverlappedResult(handle.get(), &overlapped, &got, FALSE) != 0;
    bool relevant = !read || got == 0;
    for (DWORD at = 0; read && got > 0;) {
      const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
      const std::wstring_view name(change->FileName, change->FileNameLength / sizeof(wchar_t));
      for (const std::wstring& watched : names)
        if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), watched.data(),
                                 static_cast<int>(watched.size()), TRUE) == CSTR_EQUAL)
          relevant = true;
      if (change->NextEntryOffset == 0) break;
      at += change->NextEntryOffset;
    }
    start();
    return relevant;
  }

  ~Directory() {
    if (pending) {
      CancelIoEx(handle.get(), &overlapped);
      DWORD ignored = 0;
      GetOverlappedResult(handle.get(), &overlapped, &ignored, TRUE);
    }
  }
};

std::pair<std::string, std::string> split(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {".", path};
  if (separator == 0 || (separator == 2 && path[1] == ':')) return {path.substr(0, separator + 1), path.substr(separator + 1)};
  return {path.substr(0, separator), path.substr(separator + 1)};
}

}  // namespace

struct FileWatch::System {
  std::map<std::string, std::unique_ptr<Directory>> directories;
};

FileWatch::FileWatch(const std::vector<std::string>& paths) : system_(std::make_unique<System>()) {
  for (const std::string& path : paths) {
    const auto [directory, name] = split(path);
    std::unique_ptr<Directory>& watched = system_->directories[directory];
    if (!watched) {
      watched = std::make_unique<Directory>();
      watched->path = directory;
      std::wstring wide;
      try {
        wide = windows_system::widen(directory);
      } catch (const std::invalid_argument&) {
        throw FileError(directory, "the name is not UTF-8 text");
      }
      watched->handle.reset(CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
      if (!watched->handle.valid()) throw FileError(directory, windows_system::reason(GetLastError()));
      watched->event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
      if (!watched->event.valid() || !watched->start())
        throw FileError(directory, windows_system::reason(GetLastError()));
    }
    try {
      watched->names.insert(windows_system::widen(name));
    } catch (const std::invalid_argument&) {
      throw FileError(path, "the name is not UTF-8 text");
    }
  }
}

FileWatch::~FileWatch() = default;

namespace {

/// Waits up to `timeout` for changes in one of the directories; takes those that came. Returns whether
/// any came, and in `relevant` whether one concerns a watched file.
bool wait_for_changes(std::map<std::string, std::unique_ptr<Directory>>& directories, std::chrono::milliseconds timeout,
                      bool& relevant) {
  std::vector<HANDLE> events;
  std::vector<Directory*> order;
  for (auto& [path, directory] : directories) {
    if (!directory->pending && !directory->start()) continue;
    events.push_back(directory->event.get());
    order.push_back(directory.get());
  }
  if (events.empty()) {
    Sleep(static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(0, timeout.count())));
    return false;
  }
  const DWORD waited = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE,
                                              static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(0, timeout.count())));
  if (waited >= WAIT_OBJECT_0 + events.size()) return false;
  for (Directory* directory : order)
    if (WaitForSingleObject(directory->event.get(), 0) == WAIT_OBJECT_0) {
      ResetEvent(directory->event.get());
      if (directory->take_changes()) relevant = true;
    }
  return true;
}

}  // namespace

bool FileWatch::wait_for_change(std::chrono::milliseconds quiet, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool changed = false;
  while (!changed) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    wait_for_changes(system_->directories, left, changed);
  }
  // Quiet: more changes within `quiet` start the wait again.
  bool ignored = false;
  while (wait_for_changes(system_->directories, quiet, ignored)) {
  }
  return true;
}
