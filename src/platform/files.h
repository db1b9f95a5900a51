#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

/// The most bytes read from one kind of input, and the kind as a refusal names it ("a track grid").
struct ReadLimit {
  std::uint64_t bytes;
  std::string_view what;
};
/// No bound but the memory of the process.
inline constexpr ReadLimit kAnySize{std::numeric_limits<std::uint64_t>::max(), "a file"};

/// True when a directory entry of that path exists (of any type).
bool file_exists(const std::string& path);

/// The whole content of a regular file. FileError naming the file when it cannot be opened or read, when
/// it is no regular file ("not a regular file": a directory, a device or a pipe is refused before a byte
/// is read, so that nothing waits for a writer or reads on for ever), or when it holds more than
/// `limit.bytes` ("N bytes, more than a track grid may have (1 MiB)").
std::string read_file(const std::string& path, ReadLimit limit = kAnySize);

/// Deletes the file when it exists; a file that is not there is no failure.
void delete_file_if_present(const std::string& path);

/// What makes a file the same file under two names: its device and its number on the device.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  bool operator==(const FileIdentity&) const = default;
};

/// The identity of the file a path leads to (through symbolic links); nothing when there is none.
std::optional<FileIdentity> file_identity(const std::string& path);
