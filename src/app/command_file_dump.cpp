#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/refusal.h"
#include "file_views/file_view.h"
#include "platform/file_error.h"
#include "platform/files.h"
#include "scenario/file_names.h"

namespace {

/// The most bytes read of a file of that type: the largest it can be; a larger one is no such file.
ReadLimit limit_of(ScenarioFile type) {
  switch (type) {
    case ScenarioFile::Trace:
      return {largest_file_size(type), "a plan trace"};
    case ScenarioFile::Table:
      return {largest_file_size(type), "a scenario table"};
    default:
      return {largest_file_size(type), "a track grid"};
  }
}

/// The table beside a grid, read as far as it can be; why not, in its place, when it cannot.
FileRead read_table_beside(const std::string& grid_name) {
  FileRead read{table_beside_name(grid_name)};
  try {
    read.bytes = read_file(read.name, limit_of(ScenarioFile::Table));
  } catch (const FileError& failure) {
    read.bytes = Status::io_error(failure.path(), failure.reason());
  }
  return read;
}

}  // namespace

void add_inspect_command(CLI::App& app, int& status) {
  auto* command = app.add_subcommand(
      "inspect", "Decode a binary scenario file, by its name's ending: \"_linea.dat\" the plan trace, \".sim\" "
                 "the scenario table, any other \".dat\" the track grid (with the scenario table beside it, when "
                 "there is one, for its kilometres, stations and board texts).");
  auto file = std::make_shared<std::string>();
  auto as_json = std::make_shared<bool>(false);
  command->add_option("FILE", *file, "The file to decode")->required();
  command->add_flag("--json", *as_json, "Print every cell, record or point as JSON, with its meaning beside it");
  command->callback([file, as_json, &status] {
    const std::optional<ScenarioFile> type = binary_file_by_ending(*file);
    if (!type) {
      status = refuse(unknown_type_error(*file), kExitError);
      return;
    }
    // Only a regular file no larger than its type can be is read: a device or a pipe could block the
    // read or never end, and a huge file would be read whole for nothing.
    std::string bytes;
    try {
      bytes = read_file(*file, limit_of(*type));
    } catch (const FileTooLarge& refusal) {
      status = refuse(too_large_error(*file, *type, refusal.size()), kExitError);
      return;
    } catch (const FileError& failure) {
      status = refuse("cannot read " + failure.path() + ": " + failure.reason(), kExitFileFailure);
      return;
    }
    std::optional<FileRead> beside;
    if (*type == ScenarioFile::Grid && !*as_json) beside = read_table_beside(*file);
    const Status inspected = inspect_file(*file, *type, bytes, *as_json, std::cout, beside ? &*beside : nullptr);
    if (!inspected.is_ok()) {
      status = refuse(inspected.message(), kExitError);
      return;
    }
    std::cout.flush();
    if (!std::cout) {
      status = refuse("cannot write the standard output", kExitFileFailure);
      return;
    }
    status = kExitSuccess;
  });
}
