#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/output_plan.h"
#include "app/refusal.h"
#if SCENARIO_PICTURES
#include "preview/preview_drawing.h"
#include "preview/preview_files.h"
#include "preview/preview_layout.h"
#endif
#include "scenario/file_names.h"

namespace fs = std::filesystem;

std::string pictures_left_out() {
  return "pictures are not in this build of scenario (they need cairo, which the Windows build leaves out): "
         "use the Linux build for preview and watch --preview";
}

namespace {

struct PreviewOptions {
  std::string grid_path;
  std::string output;
  int width = 1600;
  int height = 1000;
};

#if SCENARIO_PICTURES
/// The three files the picture is drawn from, when the grid's name is one the reader takes.
std::vector<RunFile> inputs_of(const std::string& grid_path) {
  const RunFile grid{std::string(scenario_file_role(ScenarioFile::Grid)), grid_path};
  const auto names = parse_file_name(fs::path(grid_path).filename().string());
  if (!names || names->file != ScenarioFile::Grid) return {grid};
  std::vector<RunFile> inputs = {grid};
  for (const ScenarioFile file : {ScenarioFile::Table, ScenarioFile::Trace})
    inputs.push_back(
        {std::string(scenario_file_role(file)),
         (fs::path(grid_path).parent_path() / scenario_file_name(file, names->line_key, names->train_number))
             .string()});
  return inputs;
}

int preview(const PreviewOptions& options, DrawPicture draw) {
  const std::string output =
      options.output.empty() ? fs::path(options.grid_path).replace_extension(".png").string() : options.output;
  const auto format = picture_format_of(output);
  if (!format)
    return refuse("cannot tell the picture format of " + output + ": give a name ending in .png, .svg or .pdf",
                  kExitError);

  const std::string directory = fs::path(output).parent_path().string();
  const Result<OutputPlan> plan =
      plan_outputs(inputs_of(options.grid_path), {{"picture", output}}, {directory.empty() ? "." : directory});
  if (!plan) return refuse(plan.status());
  const Result<ScenarioFiles> files = load_scenario_files(options.grid_path);
  // A name that is no grid's is the scenario's mistake here, as a damaged file is.
  if (!files)
    return refuse(files.status().message() + "; no picture written",
                  files.status().code() == Status::Code::IOError ? kExitFileFailure : kExitError);

  const auto [layout, picture] = draw(*files, *format, options.width, options.height);
  if (!picture.error.empty())
    return refuse("cannot draw the picture: " + picture.error + "; no picture written", kExitError);

  DirectoryLocks locks;
  const std::string& bytes = picture.bytes;
  const auto written = carry_out(*plan, {[&bytes](ByteSink& sink) { sink.write(bytes); }}, locks);
  if (!written) return refuse(written.status());
  std::cout << files->line_key << " " << files->train_number << ": " << layout.stations.size() << " stations over "
            << layout.line_length << " m; wrote " << output << " (" << options.width << " x " << options.height << ", "
            << picture.bytes.size() << " bytes)\n";
  return kExitSuccess;
}

#endif

/// The command, drawn here or where the pictures are drawn.
int preview_here_or_elsewhere(const PreviewOptions& options, const Pictures& pictures) {
#if SCENARIO_PICTURES
  if (pictures.draw) return preview(options, pictures.draw);
#else
  (void)options;
#endif
  return pictures.elsewhere();
}

}  // namespace

void add_preview_command(CLI::App& app, int& status, const Pictures& pictures) {
  auto options = std::make_shared<PreviewOptions>();
  auto* command =
      app.add_subcommand("preview", "Draw the plan and the profile of a compiled scenario from its three binary files "
                                    "(K_N.dat, with K_N.sim and K_linea.dat beside it).");
  command->add_option("GRID", options->grid_path, "The track grid K_N.dat")->required();
  command->add_option("-o,--output", options->output,
                      "The picture: FILE.png, FILE.svg or FILE.pdf (default: the grid's name with .png)");
  command->add_option("--width", options->width, "Width of the picture, pixels (points for SVG and PDF)")
      ->check(CLI::Range(600, 6000));
  command->add_option("--height", options->height, "Height of the picture, pixels (points for SVG and PDF)")
      ->check(CLI::Range(400, 6000));
  command->callback([options, &status, pictures] { status = preview_here_or_elsewhere(*options, pictures); });
}
