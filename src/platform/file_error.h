#pragma once

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

/// The message for a file that could not be written: the file and the system's reason.
inline std::string file_failure_message(const FileError& failure) {
  return "Errore sul file " + failure.path() + ": " + failure.reason();
}
