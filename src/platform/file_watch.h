#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

/// Watches a few files for changes: a file written and closed, replaced by a rename (as editors save), created
/// or removed. It watches their directories, so that a file replaced by another keeps being watched.
class FileWatch {
 public:
  /// FileError when a directory cannot be watched.
  explicit FileWatch(const std::vector<std::string>& paths);
  ~FileWatch();
  FileWatch(const FileWatch&) = delete;
  FileWatch& operator=(const FileWatch&) = delete;

  /// Waits for a change of one of the files, then until no further change came for `quiet` (an editor
  /// saves in several steps). Returns false when `limit` passed first without any change.
  bool wait_for_change(std::chrono::milliseconds quiet, std::chrono::milliseconds limit);

 private:
  struct System;
  std::unique_ptr<System> system_;
};
