#include <CLI/CLI.hpp>

#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/output_directory.h"
#include "platform/file_replacement.h"
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
int refuse(const std::string& message, int status = kExitError) {
  std::cerr << "scenario: error: " << message << "\n";
  return status;
}

/// The three files the picture is drawn from, when the grid's name is one the reader takes.
std::vector<RunFile> inputs_of(const std::string& grid_path) {
  const auto names = parse_file_name(fs::path(grid_path).filename().string());
  if (!names || names->file != ScenarioFile::Grid) return {{"track grid", grid_path}};
  const fs::path directory = fs::path(grid_path).parent_path();
  return {{"track grid", grid_path},
          {"scenario table", (directory / table_file_name(names->line_key, names->train_number)).string()},
          {"plan trace", (directory / trace_file_name(names->line_key)).string()}};
}

int preview(const PreviewOptions& options, DrawPicture draw) {
  const std::string output =
      options.output.empty() ? fs::path(options.grid_path).replace_extension(".png").string()
                             : options.output;
  const auto format = picture_format_of(output);
  if (!format) return refuse("cannot tell the picture format of " + output + ": give a name ending in .png, .svg or .pdf");

  if (const std::string collision = output_replacing_input(inputs_of(options.grid_path), {{"picture", output}});
      !collision.empty())
    return refuse(collision, kExitUsage);
  const LoadedScenarioFiles files = load_scenario_files(options.grid_path);
  if (!files) return refuse(files.error + "; no picture written", files.unreadable ? kExitFileFailure : kExitError);

  const auto [layout, picture] = draw(*files.value, *format, options.width, options.height);
  if (!picture.error.empty()) return refuse("cannot draw the picture: " + picture.error + "; no picture written");

  const std::string directory = fs::path(output).parent_path().string();
  DirectoryLock lock;
  if (const std::string failure = claim_output_directory(directory.empty() ? "." : directory, lock); !failure.empty())
    return refuse(failure, kExitFileFailure);
  replace_file(output, picture.bytes);
  std::cout << files.value->line_key << " " << files.value->train_number << ": " << layout.stations.size()
            << " stations over " << layout.line_length << " m; wrote " << output << " (" << options.width << " x "
            << options.height << ", " << picture.bytes.size() << " bytes)\n";
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
  auto* command = app.add_subcommand(
      "preview", "Draw the plan and the profile of a compiled scenario from its three binary files "
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
