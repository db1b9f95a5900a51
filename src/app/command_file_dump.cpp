#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include "app/commands.h"
#include "app/exit_status.h"
#include "inspect/inspection.h"
#include "platform/file_error.h"
#include "platform/files.h"

void add_inspect_command(CLI::App& app, int& status) {
  auto* command = app.add_subcommand(
      "inspect", "Decode a binary scenario file, by its name's ending: \"_linea.dat\" the plan trace, \".sim\" "
                 "the scenario table, any other \".dat\" the track grid.");
  auto file = std::make_shared<std::string>();
  auto as_json = std::make_shared<bool>(false);
  command->add_option("FILE", *file, "The file to decode")->required();
  command->add_flag("--json", *as_json, "Print every cell, record or point as JSON");
  command->callback([file, as_json, &status] {
    // A device or a pipe could block the read or never end: only plain files are read.
    std::error_code error;
    const auto type = std::filesystem::status(*file, error).type();
    if (!error && type != std::filesystem::file_type::regular) {
      std::cerr << "scenario: error: cannot read " << *file << ": not a regular file\n";
      status = kExitError;
      return;
    }
    std::string bytes;
    try {
      bytes = read_file(*file);
    } catch (const FileError& failure) {
      std::cerr << "scenario: error: cannot read " << failure.path() << ": " << failure.reason() << "\n";
      status = kExitError;
      return;
    }
    const Inspection inspection = inspect_file(*file, bytes, *as_json);
    if (!inspection.error.empty()) {
      std::cerr << "scenario: error: " << inspection.error << "\n";
      status = kExitError;
      return;
    }
    std::cout << inspection.output;
    std::cout.flush();
    status = std::cout ? kExitSuccess : kExitError;
  });
}
