#include <CLI/CLI.hpp>

#include <chrono>
#include <ctime>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/output_directory.h"
#include "output/binary_files.h"
#include "platform/file_error.h"
#include "platform/file_replacement.h"
#include "platform/file_watch.h"
#include "platform/files.h"
#include "platform/program_directory.h"
#if SCENARIO_PICTURES
#include "preview/preview_drawing.h"
#include "preview/preview_files.h"
#include "preview/preview_layout.h"
#endif
#include "scenario/counted.h"
#include "scenario/file_names.h"

namespace fs = std::filesystem;

namespace {

struct WatchOptions {
  SourceOptions sources;
  DiagnosticOptions diagnostics;
  std::string directory = ".";
  std::string picture;
  int width = 1600;
  int height = 1000;
  Pictures pictures;  // how this program makes the picture
};

/// An editor saves in steps: a round starts when no change came for this long.
constexpr std::chrono::milliseconds kQuiet{150};
/// How long one wait lasts before it starts again (there is no end but Ctrl-C).
constexpr std::chrono::milliseconds kWaitLimit{3600 * 1000};

std::string clock_now() {
  const std::time_t now = std::time(nullptr);
  std::ostringstream text;
  text << std::put_time(std::localtime(&now), "%H:%M:%S");  // one thread: its shared result is safe
  return text.str();
}

/// The picture of a compiled scenario, drawn from the run state: "" when written, else why not.
std::string write_picture(const WatchOptions& options, const RunState& state) {
#if !SCENARIO_PICTURES
  (void)state;
  (void)options;
  return "no picture: " + pictures_left_out();
#else
  const auto format = picture_format_of(options.picture);
  ScenarioFiles files{state.line_key, state.train_number, state.grid, state.table, state.trace};
  if (const std::string mismatch = mismatch_of(files); !mismatch.empty()) return "no picture: " + mismatch;
  const Picture picture = options.pictures.draw(files, *format, options.width, options.height).picture;
  if (!picture.error.empty()) return "no picture: " + picture.error;
  replace_file(options.picture, picture.bytes);
  return {};
#endif
}

/// The files a round writes: the three binary files, and the picture when one is asked for.
std::vector<RunFile> outputs_of(const WatchOptions& options, const AuthorSources& author) {
  std::vector<RunFile> outputs = {
      {"plan trace", path_in(options.directory, trace_file_name(author.names.line_key))},
      {"scenario table", path_in(options.directory, table_file_name(author.names.line_key, author.names.train_number))},
      {"track grid", path_in(options.directory, grid_file_name(author.names.line_key, author.names.train_number))}};
  if (!options.picture.empty()) outputs.push_back({"picture", options.picture});
  return outputs;
}

/// Claims the directory of the binary files and, when it is another one, the picture's (a second lock of
/// one directory would wait for the first): an empty text once both are held, else what stops the round.
std::string claim_directories(const WatchOptions& options, DirectoryLock& lock, DirectoryLock& picture_lock) {
  if (const std::string claimed = claim_output_directory(options.directory, lock); !claimed.empty()) return claimed;
  if (options.picture.empty()) return {};
  std::string picture_directory = utf8_name(filesystem_path(options.picture).parent_path());
  if (picture_directory.empty()) picture_directory = ".";
  const auto identity = file_identity(picture_directory);
  if (identity && identity == file_identity(options.directory)) return {};
  return claim_output_directory(picture_directory, picture_lock);
}

/// One round: reads, checks (every error), writes the files when there is no error, draws the picture;
/// prints the diagnostics, then one status line.
void round(const WatchOptions& options, int number) {
  const auto started = std::chrono::steady_clock::now();
  std::string status;
  auto read = read_author_sources(options.sources);
  if (const int* refused = std::get_if<int>(&read)) {
    status = "the sources cannot be read (exit status " + std::to_string(*refused) + " of compile)";
  } else {
    const AuthorSources& author = std::get<AuthorSources>(read);
    if (author.input.errors() > 0) {
      print_diagnostics(options.diagnostics, author.sources, author.input);
      status = counted(author.input.errors(), "error") + " in the input; no file written";
    } else {
      const AuthorCompilation checked = compile_author_sources(author, /*keep_going=*/true);
      print_diagnostics(options.diagnostics, author.sources, checked.state.diagnostics);
      status = counted(checked.state.diagnostics.errors(), "error") + ", " +
               counted(checked.state.diagnostics.warnings(), "warning");
      if (checked.state.diagnostics.errors() > 0) {
        status += "; no file written";
      } else {
        // No error: the format's own compilation writes the same files as compile, each round under the
        // lock of the directory, and never over the sources it watches.
        AuthorCompilation compiled = compile_author_sources(author, /*keep_going=*/false, options.directory);
        DirectoryLock lock;
        DirectoryLock picture_lock;
        if (const std::string collision = output_replacing_input(
                {{"line description", options.sources.line_path}, {"train service", options.sources.service_path}},
                outputs_of(options, author));
            !collision.empty()) {
          status += "; " + collision;
        } else if (const std::string claimed = claim_directories(options, lock, picture_lock); !claimed.empty()) {
          status += "; " + claimed + ": no file written";
        } else {
          try {
            write_binary_files(compiled.state);
            status += "; wrote " + trace_file_name(author.names.line_key) + ", " +
                      table_file_name(author.names.line_key, author.names.train_number) + ", " +
                      grid_file_name(author.names.line_key, author.names.train_number);
            if (!options.picture.empty()) {
              const std::string picture = write_picture(options, compiled.state);
              status += picture.empty() ? ", " + options.picture : "; " + picture;
            }
          } catch (const FileError& failure) {
            status += "; cannot write " + failure.path() + ": " + failure.reason();
          }
        }
      }
    }
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::ostringstream took;
  took << std::fixed << std::setprecision(2) << seconds;
  std::cout << "[" << clock_now() << "] round " << number << ": " << status << " (" << took.str() << " s)"
            << std::endl;
}

int watch(const WatchOptions& options) {
  // A picture this program does not draw: the whole command runs where the pictures are drawn, or is refused.
  if (!options.picture.empty() && !options.pictures.draw) return options.pictures.elsewhere();
#if SCENARIO_PICTURES
  if (!options.picture.empty() && !picture_format_of(options.picture)) {
    std::cerr << "scenario: error: cannot tell the picture format of " << options.picture
              << ": give a name ending in .png, .svg or .pdf\n";
    return kExitUsage;
  }
#endif
  FileWatch watching({options.sources.line_path, options.sources.service_path});
  std::cerr << "scenario: watching " << options.sources.line_path << " and " << options.sources.service_path
            << "; Ctrl-C ends\n";
  for (int number = 1;; ++number) {
    round(options, number);
    while (!watching.wait_for_change(kQuiet, kWaitLimit)) {
    }
  }
}

}  // namespace

void add_watch_command(CLI::App& app, int& status, const Pictures& pictures) {
  auto options = std::make_shared<WatchOptions>();
  options->pictures = pictures;
  auto* command = app.add_subcommand(
      "watch", "Check and compile a line description and a train service (and draw their picture) each time "
               "one of them changes, until Ctrl-C.");
  add_source_options(command, options->sources);
  add_diagnostic_options(command, options->diagnostics);
  command->add_option("-o,--output", options->directory, "Directory for the binary files (default: .)")
      ->check(non_empty_path());
  command->add_option("--preview", options->picture, "Draw the picture into FILE.png, FILE.svg or FILE.pdf each round")
      ->check(non_empty_path());
  command->add_option("--width", options->width, "Width of the picture")->check(CLI::Range(600, 6000));
  command->add_option("--height", options->height, "Height of the picture")->check(CLI::Range(400, 6000));
  command->callback([options, &status] { status = watch(*options); });
}
