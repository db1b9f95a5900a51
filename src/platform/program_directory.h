#pragma once

#include <string>

/// The directory that holds the running executable (resolved through /proc/self/exe on Linux, the
/// module's own name on Windows).
std::string program_directory();

/// A file's path: the directory, the system's separator ("/", on Windows "\\"), then the name. The
/// separator is added without looking at how the directory ends, so "dir/" gives "dir//name" on Linux.
std::string path_in(const std::string& directory, const std::string& name);
