#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

/// A file operation of the platform failed: which file, and the system's reason.
class FileError : public std::runtime_error {
 public:
  FileError(std::string path, std::string reason)
      : std::runtime_error(path + ": " + reason), path_(std::move(path)), reason_(std::move(reason)) {}
  const std::string& path() const { return path_; }
  const std::string& reason() const { return reason_; }

 private:
  std::string path_;
  std::string reason_;
};

/// A file that holds more bytes than its reader accepts: refused before anything is read.
class FileTooLarge : public FileError {
 public:
  FileTooLarge(std::string path, uint64_t size, uint64_t limit, std::string reason)
      : FileError(std::move(path), std::move(reason)), size_(size), limit_(limit) {}
  uint64_t size() const { return size_; }
  uint64_t limit() const { return limit_; }

 private:
  uint64_t size_;
  uint64_t limit_;
};

/// The message for a file that could not be written: the file and the system's reason.
inline std::string file_failure_message(const FileError& failure) {
  return "Errore sul file " + failure.path() + ": " + failure.reason();
}
