#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>

#include "platform/file_error.h"
#include "platform/file_watch.h"
#include "platform/files.h"
#include "platform/windows_system.h"

using windows_system::Handle;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// The identity of an open file or directory; nothing when the system does not tell it.
std::optional<FileIdentity> identity_of(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information)) return std::nullopt;
  return FileIdentity{information.dwVolumeSerialNumber,
                      std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow};
}

/// Opens what a path leads to (through links) to read its information, for a Handle to hold; the system's
/// error in `error`.
HANDLE open_for_information(const std::wstring& path, DWORD& error) {
  const HANDLE opened =
      CreateFileW(path.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  error = opened == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
  return opened;
}

/// True for the errors of a path that leads nowhere.
bool is_missing(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

/// The path at which an open file or directory is now, in plain form ("C:\a\b.txt"); nothing when the
/// system does not tell it.
std::optional<std::wstring> final_path(HANDLE handle) {
  std::wstring name(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    const DWORD length = GetFinalPathNameByHandleW(handle, name.data(), static_cast<DWORD>(name.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (length == 0) return std::nullopt;
    if (length < name.size()) {
      name.resize(length);
      if (name.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + name.substr(8);
      if (name.starts_with(L"\\\\?\\")) return name.substr(4);
      return name;
    }
    name.assign(length + 1, L'\0');  // too small: `length` is the size needed
  }
  return std::nullopt;
}

/// One watched directory: its handle, the read of its changes under way, and the names watched in it.
struct Directory {
  std::set<std::wstring> names;
  /// Invalid while the directory is lost.
  Handle handle;
  Handle event;
  OVERLAPPED overlapped{};
  alignas(DWORD) unsigned char buffer[16384];
  bool pending = false;
  /// The directory watched: another one at the path is taken up in its place.
  FileIdentity identity;
  /// The system's error when a read of the changes failed; the next check decides what became of it.
  DWORD failure = ERROR_SUCCESS;
  /// Why it is lost, as last said; empty while it is watched.
  std::string lost_reason;

  /// Asks for the next changes; false when the system refuses (its error in `failure`).
  bool read_next() {
    overlapped = OVERLAPPED{};
    overlapped.hEvent = event.get();
    pending =
        ReadDirectoryChangesW(handle.get(), buffer, sizeof buffer, FALSE,
                              FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE | FILE_NOTIFY_CHANGE_SIZE,
                              nullptr, &overlapped, nullptr) != 0;
    if (!pending) failure = GetLastError();
    return pending;
  }

  /// Starts watching the directory at `path`: ERROR_SUCCESS, else the system's error.
  DWORD start(const std::wstring& path) {
    stop();
    failure = ERROR_SUCCESS;
    handle.reset(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY, kShareAll, nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr));
    if (!handle.valid()) return GetLastError();
    BY_HANDLE_FILE_INFORMATION information;
    DWORD error = ERROR_SUCCESS;
    if (!GetFileInformationByHandle(handle.get(), &information)) {
      error = GetLastError();
    } else if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      error = ERROR_DIRECTORY;
    } else {
      identity = FileIdentity{information.dwVolumeSerialNumber,
                              std::uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow};
      if (!event.valid()) event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
      if (!event.valid())
        error = GetLastError();
      else if (!read_next())
        error = failure;
    }
    if (error != ERROR_SUCCESS) stop();
    return error;
  }

  /// Ends the read under way and closes the directory.
  void stop() {
    if (pending) {
      CancelIoEx(handle.get(), &overlapped);
      DWORD ignored = 0;
      GetOverlappedResult(handle.get(), &overlapped, &ignored, TRUE);
      pending = false;
    }
    handle.reset();
  }

  /// What became of the directory watched, which its path no longer leads to.
  std::string gone() const {
    // Moved: the system tells where it is now, and that place leads to it.
    if (const auto now = final_path(handle.get())) {
      DWORD error = ERROR_SUCCESS;
      const Handle there(open_for_information(*now, error));
      if (there.valid() && identity_of(there.get()) == identity) return "it was moved";
    }
    return delete_pending() ? "it was deleted" : "it was moved or deleted";
  }

  /// True when the directory watched is marked for deletion: it goes when the last handle to it closes.
  bool delete_pending() const {
    FILE_STANDARD_INFO information;
    return GetFileInformationByHandleEx(handle.get(), FileStandardInfo, &information, sizeof information) &&
           information.DeletePending;
  }

  enum class Taken { nothing, relevant, overflow };
  /// Takes the changes that came (the event is set). A full buffer (no bytes) or ERROR_NOTIFY_ENUM_DIR
  /// means that changes were dropped: then any file may have changed.
  Taken take_changes() {
    DWORD got = 0;
    pending = false;
    Taken taken = Taken::nothing;
    if (!GetOverlappedResult(handle.get(), &overlapped, &got, FALSE)) {
      const DWORD error = GetLastError();
      if (error != ERROR_NOTIFY_ENUM_DIR) {
        failure = error;
        return Taken::relevant;
      }
      taken = Taken::overflow;
    } else if (got == 0) {
      taken = Taken::overflow;
    }
    for (DWORD at = 0; taken == Taken::nothing && got > 0;) {
      const auto* change = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer + at);
      const std::wstring_view name(change->FileName, change->FileNameLength / sizeof(wchar_t));
      for (const std::wstring& watched : names)
        if (CompareStringOrdinal(name.data(), static_cast<int>(name.size()), watched.data(),
                                 static_cast<int>(watched.size()), TRUE) == CSTR_EQUAL)
          taken = Taken::relevant;
      if (change->NextEntryOffset == 0) break;
      at += change->NextEntryOffset;
    }
    read_next();
    return taken;
  }

  ~Directory() { stop(); }
};

std::pair<std::string, std::string> split(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {".", path};
  if (separator == 0 || (separator == 2 && path[1] == ':'))
    return {path.substr(0, separator + 1), path.substr(separator + 1)};
  return {path.substr(0, separator), path.substr(separator + 1)};
}

/// The path of the file that a link at `path` leads to; nothing when `path` is no link or leads nowhere.
std::optional<std::string> link_target(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
  DWORD error = ERROR_SUCCESS;
  const Handle target(open_for_information(path, error));
  if (!target.valid()) return std::nullopt;
  const auto name = final_path(target.get());
  if (!name) return std::nullopt;
  return windows_system::narrow(*name);
}

std::wstring wide_name(const std::string& path) {
  try {
    return windows_system::widen(path);
  } catch (const std::invalid_argument&) {
    return {};  // every name given was checked at the start; a name from the system is UTF-16
  }
}

}  // namespace

struct FileWatch::System {
  std::vector<std::string> paths;
  std::map<std::string, std::unique_ptr<Directory>> directories;
  /// Set when a watched file or the watch itself changed; the waiting loop clears it.
  bool changed = false;

  /// The directories to watch, with the names watched in each: each path's own, and for a source that is
  /// a link, the directory of the file it leads to.
  std::map<std::string, std::set<std::wstring>> wanted() const {
    std::map<std::string, std::set<std::wstring>> directories_of;
    for (const std::string& path : paths) {
      const auto [directory, name] = split(path);
      directories_of[directory].insert(wide_name(name));
      if (const auto target = link_target(wide_name(path))) {
        const auto [target_directory, target_name] = split(*target);
        DWORD error = ERROR_SUCCESS;
        const Handle named(open_for_information(wide_name(directory), error));
        const Handle reached(open_for_information(wide_name(target_directory), error));
        // A link to a file beside it needs no second watch of the same directory.
        const auto named_identity = named.valid() ? identity_of(named.get()) : std::nullopt;
        const bool same = named_identity && reached.valid() && named_identity == identity_of(reached.get());
        directories_of[same ? directory : target_directory].insert(wide_name(target_name));
      }
    }
    return directories_of;
  }

  /// Checks one directory: a watched one that its path no longer leads to, or whose read failed, is
  /// lost; a lost one is taken up again when its path leads to a directory (a change: its files may be
  /// others now).
  void check(const std::string& path, Directory& directory, std::vector<WatchNotice>& notices) {
    const std::wstring wide = wide_name(path);
    if (directory.handle.valid()) {
      DWORD error = ERROR_SUCCESS;
      const Handle now(open_for_information(wide, error));
      const auto identity = now.valid() ? identity_of(now.get()) : std::nullopt;
      std::string reason;
      if (directory.delete_pending() || ((now.valid() || is_missing(error)) && identity != directory.identity))
        reason = directory.gone();
      else if (!now.valid())
        reason = windows_system::reason(error);
      else if (directory.failure != ERROR_SUCCESS)
        reason = windows_system::reason(directory.failure);
      if (reason.empty()) return;
      directory.stop();
      directory.lost_reason = reason;
      notices.push_back({WatchNotice::Kind::lost, path, reason});
      changed = true;
    }
    const DWORD error = directory.start(wide);
    if (error == ERROR_SUCCESS) {
      if (!directory.lost_reason.empty()) notices.push_back({WatchNotice::Kind::resumed, path, {}});
      directory.lost_reason.clear();
      changed = true;
      return;
    }
    // A directory moved or deleted is looked for quietly until it is back; any other reason is said once.
    const std::string reason = windows_system::reason(error);
    if (!(is_missing(error) && !directory.lost_reason.empty()) && reason != directory.lost_reason) {
      directory.lost_reason = reason;
      notices.push_back({WatchNotice::Kind::lost, path, reason});
    }
  }

  /// Resolves the paths again and brings the watches in line; a change when the files at the paths may be
  /// other files now (a link leads elsewhere, a directory was lost or taken up again).
  void refresh(std::vector<WatchNotice>& notices) {
    auto directories_of = wanted();
    for (auto at = directories.begin(); at != directories.end();) {
      if (directories_of.contains(at->first)) {
        ++at;
        continue;
      }
      at = directories.erase(at);
      changed = true;
    }
    for (auto& [path, names] : directories_of) {
      std::unique_ptr<Directory>& directory = directories[path];
      const bool added = !directory;
      if (added) directory = std::make_unique<Directory>();
      if (directory->names != names) {
        directory->names = std::move(names);
        changed = true;
      }
      if (added) {
        // A directory new to the watch (a link leads there now) that cannot be watched is said at once.
        if (const DWORD error = directory->start(wide_name(path)); error != ERROR_SUCCESS) {
          directory->lost_reason = windows_system::reason(error);
          notices.push_back({WatchNotice::Kind::lost, path, directory->lost_reason});
        }
      } else {
        check(path, *directory, notices);
      }
    }
  }

  /// Waits up to `timeout` for changes in one of the directories and takes those that came.
  void wait_for_changes(std::chrono::milliseconds timeout, std::vector<WatchNotice>& notices) {
    std::vector<HANDLE> events;
    std::vector<Directory*> order;
    for (auto& [path, directory] : directories) {
      if (!directory->pending) continue;
      events.push_back(directory->event.get());
      order.push_back(directory.get());
    }
    const DWORD milliseconds = static_cast<DWORD>(std::max<std::chrono::milliseconds::rep>(0, timeout.count()));
    if (events.empty()) {
      Sleep(milliseconds);
      return;
    }
    const DWORD waited = WaitForMultipleObjects(static_cast<DWORD>(events.size()), events.data(), FALSE, milliseconds);
    if (waited >= WAIT_OBJECT_0 + events.size()) return;
    for (Directory* directory : order) {
      if (WaitForSingleObject(directory->event.get(), 0) != WAIT_OBJECT_0) continue;
      ResetEvent(directory->event.get());
      switch (directory->take_changes()) {
        case Directory::Taken::nothing:
          break;
        case Directory::Taken::relevant:
          changed = true;
          break;
        case Directory::Taken::overflow:
          if (std::none_of(notices.begin(), notices.end(),
                           [](const WatchNotice& notice) { return notice.kind == WatchNotice::Kind::overflow; }))
            notices.push_back({WatchNotice::Kind::overflow, {}, {}});
          changed = true;
          break;
      }
    }
  }

  /// How long to wait before the next check of the paths.
  std::chrono::milliseconds check_interval() const {
    const bool lost = std::any_of(directories.begin(), directories.end(),
                                  [](const auto& entry) { return !entry.second->handle.valid(); });
    return lost ? kLostDirectoryRetry : kWatchCheck;
  }
};

FileWatch::FileWatch(const std::vector<std::string>& paths) : system_(std::make_unique<System>()) {
  for (const std::string& path : paths) {
    try {
      windows_system::widen(path);
    } catch (const std::invalid_argument&) {
      throw FileError(path, "the name is not UTF-8 text");
    }
  }
  system_->paths = paths;
  std::vector<WatchNotice> notices;
  system_->refresh(notices);
  // At the start, every directory must be there to be watched.
  for (const WatchNotice& notice : notices)
    if (notice.kind == WatchNotice::Kind::lost) throw FileError(notice.directory, notice.reason);
}

FileWatch::~FileWatch() = default;

namespace {

std::chrono::milliseconds until(std::chrono::steady_clock::time_point end) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
}

}  // namespace

bool FileWatch::wait_for_change(std::chrono::milliseconds quiet, std::chrono::milliseconds limit,
                                std::vector<WatchNotice>& notices) {
  System& system = *system_;
  const auto deadline = std::chrono::steady_clock::now() + limit;
  // What changed during the round (a link now leads elsewhere) counts at once.
  system.changed = false;
  system.refresh(notices);
  while (!system.changed) {
    const auto left = until(deadline);
    if (left.count() <= 0) return false;
    system.wait_for_changes(std::min(left, system.check_interval()), notices);
    system.refresh(notices);
  }
  // Quiet: a further change within `quiet` starts the wait again.
  for (auto calm = std::chrono::steady_clock::now() + quiet;;) {
    const auto left = until(calm);
    if (left.count() <= 0) return true;
    system.changed = false;
    system.wait_for_changes(std::min(left, system.check_interval()), notices);
    system.refresh(notices);
    if (system.changed) calm = std::chrono::steady_clock::now() + quiet;
  }
}
