#pragma once

#include <string>

/// An exclusive hold on a directory among the runs of the program that write into it: a lock on the
/// directory itself (flock), let go when the object goes or the process ends, however it ends.
class DirectoryLock {
 public:
  /// Holds nothing.
  DirectoryLock() = default;
  ~DirectoryLock();
  DirectoryLock(DirectoryLock&& other) noexcept;
  DirectoryLock& operator=(DirectoryLock&& other) noexcept;
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  /// Takes the lock of `directory` when no one else holds it: true when it is held now, false when another
  /// holder has it. FileError naming the directory when it cannot be opened or locked at all.
  bool try_lock(const std::string& directory);
  bool held() const { return descriptor_ >= 0; }

 private:
  int descriptor_ = -1;
};
