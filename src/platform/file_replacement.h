#pragma once

#include <string>
#include <string_view>

/// Replaces the file at `path` by `bytes`, atomically: the bytes go to a temporary file in the same
/// directory, which is then renamed over `path`. On failure the earlier file is left whole, no
/// temporary file remains, and a FileError names `path` and the system's reason.
void replace_file(const std::string& path, std::string_view bytes);
