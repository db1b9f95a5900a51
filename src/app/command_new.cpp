#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/output_plan.h"
#include "app/refusal.h"
#include "platform/files.h"
#include "scenario/file_names.h"
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
  return utf8_name((filesystem_path(directory) / filesystem_path(name)).lexically_normal());
}

int write_starter(const NewOptions& options) {
  constexpr ScenarioFile kStarter[] = {ScenarioFile::LineSource, ScenarioFile::ServiceSource};
  const Result<OutputPlan> plan = plan_outputs(
      {}, scenario_outputs(options.directory, kStarter, options.line_key, options.train), {options.directory});
  if (!plan) return refuse(plan.status());
  // Held before the files are looked for, so that no other run makes them between the look and the write.
  DirectoryLocks locks;
  if (const Status claimed = claim_directories(*plan, locks); !claimed.is_ok()) return refuse(claimed);
  std::vector<std::string> shown_names;
  for (const ScenarioFile file : kStarter)
    shown_names.push_back(shown(options.directory, scenario_file_name(file, options.line_key, options.train)));
  if (!options.force) {
    std::vector<std::string> present;
    for (std::size_t n = 0; n < plan->outputs.size(); ++n)
      if (file_exists(plan->outputs[n].path)) present.push_back(shown_names[n]);
    if (!present.empty()) {
      return refuse(present.front() +
                        (present.size() > 1 ? " and " + present.back() + " already exist" : " already exists") +
                        ": nothing written (--force replaces them)",
                    kExitError);
    }
  }
  const std::vector<OutputWriter> writers = {[](ByteSink& sink) { sink.write(encode_lines(starter_line_lines())); },
                                             [](ByteSink& sink) { sink.write(encode_lines(starter_service_lines())); }};
  if (const auto written = write_outputs(plan->outputs, writers); !written) return refuse(written.status());
  std::cout << shown_name(options.line_key + " " + options.train + ": wrote " + shown_names[0] + ", " + shown_names[1])
            << "\n";
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
  command
      ->add_option("-o,--output", options->directory,
                   "Directory for the two files, made with its parents when missing (default: .)")
      ->check(non_empty_path());
  command->add_flag("--force", options->force, "Replace files of those names");
  command->callback([options, &status] {
    if (const Status names = check_names(options->line_key, options->train); !names.is_ok())
      throw CLI::ValidationError("KEY TRAIN", names.message());
    status = write_starter(*options);
  });
}
