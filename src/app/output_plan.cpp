#include "app/output_plan.h"

#include <algorithm>

#include "app/output_directory.h"
#include "platform/program_directory.h"

std::vector<RunFile> scenario_outputs(const std::string& directory, std::span<const ScenarioFile> files,
                                      const std::string& line_key, const std::string& train_number) {
  std::vector<RunFile> outputs;
  for (const ScenarioFile file : files)
    outputs.push_back(
        {std::string(scenario_file_role(file)), path_in(directory, scenario_file_name(file, line_key, train_number))});
  return outputs;
}

std::vector<RunFile> binary_outputs(const std::string& directory, const std::string& line_key,
                                    const std::string& train_number) {
  const auto files = binary_files();
  return scenario_outputs(directory, files, line_key, train_number);
}

Result<OutputPlan> plan_outputs(const std::vector<RunFile>& inputs, std::vector<RunFile> outputs,
                                const std::vector<std::string>& directories, const IdentityOf& identity_of) {
  for (const RunFile& output : outputs) {
    const auto written = identity_of(output.path);
    if (!written) continue;
    for (const RunFile& input : inputs) {
      if (identity_of(input.path) == written)
        return Status::invalid_argument("the " + output.role + " " + output.path + " would replace the " + input.role +
                                        " " + input.path +
                                        ", which this run reads (they are one file): nothing written");
    }
  }
  OutputPlan plan{std::move(outputs), {}};
  std::vector<FileIdentity> claimed;
  for (const std::string& directory : directories) {
    const auto identity = identity_of(directory);
    if (identity && std::find(claimed.begin(), claimed.end(), *identity) != claimed.end()) continue;
    if (identity) claimed.push_back(*identity);
    plan.directories.push_back(directory);
  }
  return plan;
}

Status claim_directories(const OutputPlan& plan, DirectoryLocks& locks) {
  for (const std::string& directory : plan.directories) {
    if (const Status claimed = claim_output_directory(directory, locks.emplace_back()); !claimed.is_ok())
      return claimed;
  }
  return {};
}

Result<std::vector<std::uint64_t>> write_outputs(const std::vector<RunFile>& outputs,
                                                 const std::vector<OutputWriter>& writers) {
  std::vector<FileReplacement> files;
  for (std::size_t n = 0; n < outputs.size(); ++n) files.push_back({outputs[n].path, writers.at(n)});
  try {
    return replace_files(files);
  } catch (const FileError& failure) {
    return Status::io_error(failure.path(), "cannot write " + failure.path() + ": " + failure.reason());
  }
}

Result<std::vector<std::uint64_t>> carry_out(const OutputPlan& plan, const std::vector<OutputWriter>& writers,
                                             DirectoryLocks& locks) {
  if (const Status claimed = claim_directories(plan, locks); !claimed.is_ok()) return claimed;
  return write_outputs(plan.outputs, writers);
}

std::string written_files(const std::vector<RunFile>& outputs, const std::vector<std::uint64_t>& sizes) {
  std::string text;
  for (std::size_t n = 0; n < outputs.size(); ++n) {
    text += (n == 0 ? "" : ", ") + utf8_name(filesystem_path(outputs[n].path).filename());
    if (n < sizes.size()) text += " (" + std::to_string(sizes[n]) + " bytes)";
  }
  return text;
}
