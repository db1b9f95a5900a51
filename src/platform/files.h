#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

/// The most bytes read from one kind of input, and the kind as a refusal names it ("a track grid").
struct ReadLimit {
  std::uint64_t bytes;
  std::string_view what;
};
/// No bound but the memory of the process.
inline constexpr ReadLimit kAnySize{std::numeric_limits<std::uint64_t>::max(), "a file"};

/// Why a file of `size` bytes is refused by `limit`: "N bytes, more than a track grid may have (1 MiB)".
std::string size_refusal(std::uint64_t size, const ReadLimit& limit);

/// The std::filesystem path of a UTF-8 name, and the UTF-8 name of a path. A path made from a plain string
/// would read it in the local code page on Windows (a name like "città" would become another); every
/// name the program holds is UTF-8, so every std::filesystem path is made and read through these.
std::filesystem::path filesystem_path(const std::string& utf8);
std::string utf8_name(const std::filesystem::path& path);

/// Whether the system lets a new file or directory take `name` (one part of a path, without a
/// separator): InvalidArgument saying why not. Linux takes any name; Windows refuses the names it keeps
/// for devices (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, with any ending), the characters
/// < > : " | ? * and those below 32, and a name that ends in a dot or a blank.
Status check_new_name(const std::string& name);

/// A name (or any text that holds names) as people, JSON and tools are shown it: its bytes where they form
/// UTF-8, and U+FFFD, the replacement character, for each byte that does not (a name from an old
/// archive in Windows-1252, "citt\xE0_linea.txt"). Every path that goes into a message or into JSON
/// passes through here.
std::string shown_name(std::string_view name);

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
