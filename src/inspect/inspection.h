#pragma once

#include <string>
#include <string_view>

/// What the inspect command prints for a file's bytes, or its error (which names the file).
struct Inspection {
  std::string output;
  std::string error;  // empty on success
};

/// Decodes a file by its name's ending ("_linea.dat" the plan trace, ".sim" the scenario table, any
/// other ".dat" the track grid) and describes it for people, after a line with its name and size, or
/// gives it as JSON.
Inspection inspect_file(std::string_view file_name, std::string_view bytes, bool as_json);
