#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

/// What happened to the watch itself while it waited, for the program to tell its user.
struct WatchNotice {
  enum class Kind {
    lost,      ///< a directory is watched no more (`reason`); it is taken up again when it is back at its path
    resumed,   ///< a lost directory is watched again
    overflow,  ///< the system dropped changes (its queue of them was full): any file may have changed
  };
  Kind kind;
  /// The directory as the watch names it; empty for an overflow.
  std::string directory;
  /// Why a directory was lost: "it was moved", "it was deleted", or the system's reason.
  std::string reason;
};

/// How often a lost directory is looked for at its path, and how often the watch checks, without any notice
/// from the system, that each path still leads where it did (a link changed, a directory above replaced).
inline constexpr std::chrono::milliseconds kLostDirectoryRetry{100};
inline constexpr std::chrono::milliseconds kWatchCheck{1000};

/// Watches a few files for changes: a file written and closed, replaced by a rename (as editors save), created
/// or removed. It watches their directories, so that a file replaced by another keeps being watched; for a
/// file that is a symbolic link, also the directory of each link on the way and of the file it leads to.
/// A directory moved, deleted or replaced is taken up again at its path when a directory is there again.
class FileWatch {
 public:
  /// FileError naming the directory when one cannot be watched.
  explicit FileWatch(const std::vector<std::string>& paths);
  ~FileWatch();
  FileWatch(const FileWatch&) = delete;
  FileWatch& operator=(const FileWatch&) = delete;

  /// Waits for a change of one of the files, then until no further change came for `quiet` (an editor
  /// saves in several steps). A lost or regained directory and an overflow count as changes. Returns false
  /// when `limit` passed first without any change. What happened to the watch is added to `notices`.
  bool wait_for_change(std::chrono::milliseconds quiet, std::chrono::milliseconds limit,
                       std::vector<WatchNotice>& notices);

 private:
  struct System;
  std::unique_ptr<System> system_;
};
