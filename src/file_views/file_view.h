#pragma once
// `scenario inspect`: one binary file decoded and written out, for people or as JSON, at a cost bounded
// by what a file of its type can be.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/status.h"
#include "scenario/file_names.h"

/// The largest size a binary file of that type can have: the grid and the plan trace of the longest
/// line (every point of the trace a double), the table with every text at its longest. A file beyond it
/// cannot be of its type.
uint64_t largest_file_size(ScenarioFile file);

/// The error for a file larger than its type can be (largest_file_size), naming the file.
std::string too_large_error(std::string_view name, ScenarioFile file, uint64_t size);

/// The error for a name that no binary file has.
std::string unknown_type_error(std::string_view name);

/// The scenario table beside a grid: the grid's name with ".sim" in place of its ".dat".
std::string table_beside_name(std::string_view grid_name);

/// A file as the command could read it: its bytes, or why it could not be read.
struct FileRead {
  std::string name;
  Result<std::string> bytes = std::string();
};

/// Decodes the bytes of a binary file of type `file` and writes it to `out`: for people, after a line
/// with its name and size, or as JSON. A grid shown for people takes its kilometres, stations and board
/// texts from `table_beside` when it is given, was read, decodes, and has the grid's size. Returns the
/// decoder's Corruption, its message naming the file, when the bytes are not a file of that type: nothing
/// is written then.
Status inspect_file(std::string_view name, ScenarioFile file, std::string_view bytes, bool as_json, std::ostream& out,
                    const FileRead* table_beside = nullptr);
