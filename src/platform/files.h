#pragma once

#include <cstdint>
#include <string>

/// True when a directory entry of that path exists (of any type).
bool file_exists(const std::string& path);

/// The whole content of a file; FileError when it cannot be read.
std::string read_file(const std::string& path);

/// The whole content of a regular file of at most `max_size` bytes. What is not a regular file (a
/// directory, a device, a pipe) is refused without being read or waited for (FileError "not a regular
/// file"), and so is a larger file, before a byte is read (FileTooLarge); FileError when it cannot be
/// read.
std::string read_regular_file(const std::string& path, uint64_t max_size);

/// Deletes the file when it exists; a file that is not there is no failure.
void delete_file_if_present(const std::string& path);
