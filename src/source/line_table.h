#pragma once

#include <string>
#include <vector>

/// Closes every line table; never written to a file.
inline constexpr const char* kEndMarker = "riferimento fine del file";
/// A line table has room for this many entries (indices 0 to 1000).
inline constexpr std::size_t kLineTableCapacity = 1001;

/// The lines of one text file, in file order, each without its line end, closed by kEndMarker.
using LineTable = std::vector<std::string>;

/// The bytes of the file a line table gives: every entry before the end marker, each followed by
/// CR LF, written as it stands. A table without the end marker is a fault of the program.
std::string encode_lines(const LineTable& table);

/// Replaces the file at `path` by the lines of `table` (atomically; FileError on failure).
void scrivi_righe(const std::string& path, const LineTable& table);
