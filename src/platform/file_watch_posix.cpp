#include "platform/file_watch.h"

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include "platform/file_error.h"

namespace fs = std::filesystem;

namespace {

/// The changes of a watched directory's entries that concern a file in it, and those of the directory itself
/// (the system adds IN_IGNORED, IN_UNMOUNT and IN_Q_OVERFLOW on its own).
constexpr uint32_t kEntryChanges = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM;
constexpr uint32_t kSelfChanges = IN_MOVE_SELF | IN_DELETE_SELF;
/// The system follows at most 40 links in one name; so does the watch.
constexpr int kMostLinks = 40;

/// One directory to watch, by the path it is reached at.
struct Directory {
  /// The names of the files watched in it.
  std::set<std::string> names;
  /// The system's watch; -1 while the directory is lost.
  int watch = -1;
  /// The directory watched (device, inode): another one at the path is taken up in its place.
  dev_t device = 0;
  ino_t inode = 0;
  /// Why it is lost, as last said; empty while it is watched.
  std::string lost_reason;
};

/// The directory part of a path: "." for a bare name.
std::string directory_of(const fs::path& path) {
  return path.has_parent_path() ? path.parent_path().string() : std::string(1, '.');
}

/// The directories to watch for one file, with its name in each: the path as named, then each symbolic
/// link on the way to the file it leads to (so that an edit of that file is seen too).
void add_directories_of(const std::string& path, std::map<std::string, std::set<std::string>>& wanted) {
  fs::path at(path);
  for (int link = 0; link <= kMostLinks; ++link) {
    wanted[directory_of(at)].insert(at.filename().string());
    std::error_code error;
    if (!fs::is_symlink(at, error)) return;
    const fs::path target = fs::read_symlink(at, error);
    if (error || target.empty()) return;
    at = target.is_absolute() ? target : at.parent_path() / target;
    // Its directory named plainly ("/home/a/e", not "d/../e"), as the system finds it.
    const fs::path directory = fs::weakly_canonical(directory_of(at), error);
    if (!error) at = directory / at.filename();
  }
}

}  // namespace

struct FileWatch::System {
  int descriptor = -1;
  std::vector<std::string> paths;
  std::map<std::string, Directory> directories;
  /// Set when a watched file or the watch itself changed; the waiting loop clears it.
  bool changed = false;

  ~System() {
    if (descriptor >= 0) close(descriptor);
  }

  /// Stops the system's watch of a directory, unless another path reaches the same directory.
  void stop(Directory& directory) {
    const int watch = std::exchange(directory.watch, -1);
    if (watch < 0) return;
    for (const auto& [path, other] : directories)
      if (other.watch == watch) return;
    inotify_rm_watch(descriptor, watch);
  }

  /// Starts watching the directory at `path`: 0, else the system's error number.
  int start(const std::string& path, Directory& directory) {
    struct stat before;
    if (stat(path.c_str(), &before) != 0) return errno;
    const int watch = inotify_add_watch(descriptor, path.c_str(), kEntryChanges | kSelfChanges | IN_ONLYDIR);
    if (watch < 0) return errno;
    directory.watch = watch;
    struct stat after;
    if (stat(path.c_str(), &after) != 0 || after.st_dev != before.st_dev || after.st_ino != before.st_ino) {
      // Replaced while the watch began: which one is watched is unknown; the next check takes it up again.
      stop(directory);
      return ENOENT;
    }
    directory.device = after.st_dev;
    directory.inode = after.st_ino;
    return 0;
  }

  /// Checks one directory: a watched one that its path no longer leads to is lost; a lost one is taken up
  /// again when its path leads to a directory (a change: its files may be others now).
  void check(const std::string& path, Directory& directory, std::vector<WatchNotice>& notices) {
    if (directory.watch >= 0) {
      struct stat now;
      const bool there = stat(path.c_str(), &now) == 0;
      const int error = errno;
      if (there && now.st_dev == directory.device && now.st_ino == directory.inode) return;
      // The system's own notice, when it came meanwhile, says best what happened.
      read_events(notices);
      if (directory.watch >= 0) {
        // No notice: a directory above it moved, or a link on the way leads elsewhere.
        directory.lost_reason = there ? "another directory took its place" : std::strerror(error);
        stop(directory);
        notices.push_back({WatchNotice::Kind::lost, path, directory.lost_reason});
        changed = true;
      }
    }
    const int error = start(path, directory);
    if (error == 0) {
      if (!directory.lost_reason.empty()) notices.push_back({WatchNotice::Kind::resumed, path, {}});
      directory.lost_reason.clear();
      changed = true;
      return;
    }
    // A directory moved or deleted is looked for quietly until it is back; any other reason is said once.
    const std::string failure = std::strerror(error);
    const bool expected = error == ENOENT && !directory.lost_reason.empty();
    if (!expected && failure != directory.lost_reason) {
      directory.lost_reason = failure;
      notices.push_back({WatchNotice::Kind::lost, path, failure});
    }
  }

  /// Resolves the paths again and brings the watches in line; a change when the files at the paths may be
  /// other files now (a link leads elsewhere, a directory was lost or taken up again).
  void refresh(std::vector<WatchNotice>& notices) {
    std::map<std::string, std::set<std::string>> wanted;
    for (const std::string& path : paths) add_directories_of(path, wanted);
    for (auto at = directories.begin(); at != directories.end();) {
      if (wanted.contains(at->first)) {
        ++at;
        continue;
      }
      Directory gone = std::move(at->second);
      at = directories.erase(at);
      stop(gone);
      changed = true;
    }
    for (auto& [path, names] : wanted) {
      auto [at, added] = directories.try_emplace(path);
      Directory& directory = at->second;
      if (directory.names != names) {
        directory.names = std::move(names);
        changed = true;
      }
      if (added) {
        // A directory new to the watch (a link leads there now) that cannot be watched is said at once.
        if (const int error = start(path, directory); error != 0) {
          directory.lost_reason = std::strerror(error);
          notices.push_back({WatchNotice::Kind::lost, path, directory.lost_reason});
        }
      } else {
        check(path, directory, notices);
      }
    }
  }

  /// The directories that the system stopped watching (moved, deleted, unmounted), lost: a change.
  void lose(int watch, uint32_t mask, std::vector<WatchNotice>& notices) {
    const char* reason = mask & IN_MOVE_SELF     ? "it was moved"
                         : mask & IN_DELETE_SELF ? "it was deleted"
                         : mask & IN_UNMOUNT     ? "its file system was unmounted"
                                                 : "the system stopped watching it";
    bool lost = false;
    for (auto& [path, directory] : directories) {
      if (directory.watch != watch) continue;
      directory.watch = -1;
      directory.lost_reason = reason;
      notices.push_back({WatchNotice::Kind::lost, path, reason});
      lost = true;
    }
    // A moved directory would go on being watched where it went.
    if (lost && (mask & IN_MOVE_SELF)) inotify_rm_watch(descriptor, watch);
    if (lost) changed = true;
  }

  /// Reads the events waiting (without waiting); a change when one concerns a watched file or the watch.
  void read_events(std::vector<WatchNotice>& notices) {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
      const ssize_t got = read(descriptor, buffer, sizeof buffer);
      if (got <= 0) return;  // EAGAIN: nothing more waiting
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->mask & IN_Q_OVERFLOW) {
          // Changes were dropped: any file may have changed.
          const bool said = std::any_of(notices.begin(), notices.end(), [](const WatchNotice& notice) {
            return notice.kind == WatchNotice::Kind::overflow;
          });
          if (!said) notices.push_back({WatchNotice::Kind::overflow, {}, {}});
          changed = true;
        } else if (event->mask & (kSelfChanges | IN_UNMOUNT | IN_IGNORED)) {
          lose(event->wd, event->mask, notices);
        } else if (event->len > 0) {
          for (const auto& [path, directory] : directories)
            if (directory.watch == event->wd && directory.names.contains(event->name)) changed = true;
        }
      }
    }
  }

  /// How long to wait before the next check of the paths.
  std::chrono::milliseconds check_interval() const {
    const bool lost =
        std::any_of(directories.begin(), directories.end(), [](const auto& entry) { return entry.second.watch < 0; });
    return lost ? kLostDirectoryRetry : kWatchCheck;
  }
};

FileWatch::FileWatch(const std::vector<std::string>& paths) : system_(std::make_unique<System>()) {
  system_->descriptor = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (system_->descriptor < 0) throw FileError(paths.empty() ? "." : directory_of(paths.front()), std::strerror(errno));
  system_->paths = paths;
  std::vector<WatchNotice> notices;
  system_->refresh(notices);
  // At the start, every directory must be there to be watched.
  for (const WatchNotice& notice : notices)
    if (notice.kind == WatchNotice::Kind::lost) throw FileError(notice.directory, notice.reason);
}

FileWatch::~FileWatch() = default;

namespace {

/// Waits up to `timeout` for the descriptor to be readable; false on a timeout (or an interruption).
bool readable(int descriptor, std::chrono::milliseconds timeout) {
  pollfd ready{descriptor, POLLIN, 0};
  const int count = poll(&ready, 1, static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, timeout.count())));
  return count > 0;
}

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
    readable(system.descriptor, std::min(left, system.check_interval()));
    system.read_events(notices);
    system.refresh(notices);
  }
  // Quiet: a further change within `quiet` starts the wait again.
  for (auto calm = std::chrono::steady_clock::now() + quiet;;) {
    const auto left = until(calm);
    if (left.count() <= 0) return true;
    system.changed = false;
    readable(system.descriptor, std::min(left, system.check_interval()));
    system.read_events(notices);
    system.refresh(notices);
    if (system.changed) calm = std::chrono::steady_clock::now() + quiet;
  }
}
