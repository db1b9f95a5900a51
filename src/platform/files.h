#pragma once

#include <string>

/// True when a directory entry of that path exists (of any type).
bool file_exists(const std::string& path);

/// The whole content of a file; FileError when it cannot be read.
std::string read_file(const std::string& path);

/// Deletes the file when it exists; a file that is not there is no failure.
void delete_file_if_present(const std::string& path);
