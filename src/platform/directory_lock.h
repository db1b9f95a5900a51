#pragma once

#include <memory>
#include <string>

/// An exclusive hold on a directory among the runs of the program that write into it, let go when the
/// object goes or the process ends, however it ends. On Linux a lock on the directory itself (flock); on
/// Windows a named mutex of the directory's identity (its volume and file index), so that every name
/// of one directory meets the same hold and nothing is made in the directory for it.
class DirectoryLock {
 public:
  /// Holds nothing.
  DirectoryLock();
  ~DirectoryLock();
  DirectoryLock(DirectoryLock&& other) noexcept;
  DirectoryLock& operator=(DirectoryLock&& other) noexcept;
  DirectoryLock(const DirectoryLock&) = delete;
  DirectoryLock& operator=(const DirectoryLock&) = delete;

  /// Takes the lock of `directory` when no one else holds it: true when it is held now, false when another
  /// holder has it (another object of this process too). FileError naming the directory when it cannot be
  /// opened or locked at all.
  bool try_lock(const std::string& directory);
  bool held() const { return system_ != nullptr; }

 private:
  struct System;
  std::unique_ptr<System> system_;
};
