#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/output_directory.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"
#include "source/starter_scenario.h"

namespace fs = std::filesystem;

namespace {

struct NewOptions {
  std::string line_key;
  std::string train;
  std::string directory = ".";
  bool force = false;
};

/// A path as the messages show it: "out/K_linea.txt", or "K_linea.txt" in the current directory.
std::string shown(const std::string& directory, const std::string& name) {
  return (fs::path(directory) / name).lexically_normal().string();
}

int write_starter(const NewOptions& options) {
  const std::vector<std::string> names = {line_source_name(options.line_key),
                                          service_source_name(options.line_key, options.train)};
  // Held before the files are looked for, so that no other run makes them between the look and the write.
  DirectoryLock lock;
  if (const std::string failure = claim_output_directory(options.directory, lock); !failure.empty()) {
    std::cerr << "scenario: error: " << failure << "\n";
    return kExitFileFailure;
  }
  if (!options.force) {
    std::vector<std::string> present;
    for (const std::string& name : names)
      if (file_exists(path_in(options.directory, name))) present.push_back(shown(options.directory, name));
    if (!present.empty()) {
      std::cerr << "scenario: error: " << present.front()
                << (present.size() > 1 ? " and " + present.back() + " already exist" : " already exists")
                << ": nothing written (--force replaces them)\n";
      return kExitError;
    }
  }
  RunState state;
  state.line_key = options.line_key;
  state.train_number = options.train;
  state.program_directory = options.directory;
  write_starter_scenario(state);
  std::cout << options.line_key << " " << options.train << ": wrote " << shown(options.directory, names[0])
            << ", " << shown(options.directory, names[1]) << "\n";
  return kExitSuccess;
}

}  // namespace

void add_new_command(CLI::App& app, int& status) {
  auto options = std::make_shared<NewOptions>();
  auto* command = app.add_subcommand(
      "new", "Write a starter line description K_linea.txt and train service K_N-.txt to edit: a 5 km line "
             "with three stations, each entry after a comment that names its fields.");
  command->add_option("KEY", options->line_key, "Line key, the first part of every file name")->required();
  command->add_option("TRAIN", options->train, "Train number")->required();
  command->add_option("-o,--output", options->directory,
                      "Directory for the two files, made with its parents when missing (default: .)")
      ->check(non_empty_path());
  command->add_flag("--force", options->force, "Replace files of those names");
  command->callback([options, &status] {
    if (const std::string mistake = names_problem(options->line_key, options->train); !mistake.empty())
      throw CLI::ValidationError("KEY TRAIN", mistake);
    status = write_starter(*options);
  });
}
