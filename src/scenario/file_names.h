#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/status.h"

/// Every file of a scenario. Each is named from the line key K and, but for the line description and
/// the plan trace, the train number N.
enum class ScenarioFile {
  LineSource,     // K_linea.txt: the line description
  ServiceSource,  // K_N-.txt: the train service
  Notes,          // K_N_note.txt
  SlowdownOrder,  // K_N_rallentamenti.txt
  TimetableCard,  // K_N_scheda_treno.txt
  Trace,          // K_linea.dat: the plan trace
  Table,          // K_N.sim: the scenario table
  Grid,           // K_N.dat: the track cell grid
};

/// What a file is to a run, as messages name it: "line description", "plan trace", ...
std::string_view scenario_file_role(ScenarioFile file);

/// The three binary files, in the order they are written: the plan trace, the scenario table, the grid.
std::array<ScenarioFile, 3> binary_files();

/// The name of a scenario file, without a directory.
std::string scenario_file_name(ScenarioFile file, std::string_view line_key, std::string_view train_number = {});

inline std::string line_source_name(std::string_view line_key) {
  return scenario_file_name(ScenarioFile::LineSource, line_key);
}
inline std::string service_source_name(std::string_view line_key, std::string_view train_number) {
  return scenario_file_name(ScenarioFile::ServiceSource, line_key, train_number);
}
inline std::string trace_file_name(std::string_view line_key) {
  return scenario_file_name(ScenarioFile::Trace, line_key);
}
inline std::string table_file_name(std::string_view line_key, std::string_view train_number) {
  return scenario_file_name(ScenarioFile::Table, line_key, train_number);
}
inline std::string grid_file_name(std::string_view line_key, std::string_view train_number) {
  return scenario_file_name(ScenarioFile::Grid, line_key, train_number);
}

/// What a file name says: which file, and the line key and train number it was made from (the train
/// number is empty for the two files named from the line key alone).
struct ParsedFileName {
  ScenarioFile file;
  std::string line_key;
  std::string train_number;
};

/// Recognises a scenario file name (without a directory): the inverse of scenario_file_name. The
/// line key and the train number are split at the last "_" and neither may be empty. Nothing for a name
/// of another form.
std::optional<ParsedFileName> parse_file_name(std::string_view name);

/// The binary file a name stands for by its ending alone, whatever comes before it: "_linea.dat" the
/// plan trace, ".sim" the scenario table, any other ".dat" the grid.
std::optional<ScenarioFile> binary_file_by_ending(std::string_view name);

/// Whether a line key and a train number can name a scenario's files (InvalidArgument saying why not):
/// each must be non-empty, hold no path separator ("/" or "\\") and no NUL, the train number no "_"
/// (the names are split at the last one), no two files may get one name (a train "linea" would name its
/// grid like the plan trace), and the longest name made from them must fit a file name (255 bytes).
/// Names that pass give the key and the train back when parsed. A character that Windows-1252 cannot
/// hold (an emoji) is refused too: the table stores the two names in that code page.
Status check_names(std::string_view line_key, std::string_view train_number);

/// The character of a name (UTF-8, as the command line and the file names give it) that Windows-1252
/// cannot hold, as "U+1F682"; nothing when there is none, or when the name is not UTF-8 at all.
std::optional<std::string> character_beyond_windows1252(std::string_view name_part);
/// A line key or a train number as the scenario's table and documents store it: UTF-8 converted to
/// Windows-1252, like every other text of the scenario; bytes that are not UTF-8 as they are.
std::string name_as_stored(std::string_view name_part);
