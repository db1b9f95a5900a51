#include <CLI/CLI.hpp>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/author_sources.h"
#include "app/commands.h"
#include "app/diagnostic_output.h"
#include "app/exit_status.h"
#include "app/output_plan.h"
#include "app/refusal.h"
#include "output/binary_files.h"
#include "platform/file_error.h"
#include "platform/file_watch.h"
#include "platform/files.h"
#if SCENARIO_PICTURES
#include "preview/preview_drawing.h"
#include "preview/preview_files.h"
#include "preview/preview_layout.h"
#endif
#include "review/plausibility.h"
#include "review/timetable_review.h"
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

/// The picture of a compiled scenario, drawn from the run state, or why there is none.
Result<std::string> draw_picture(const WatchOptions& options, const RunState& state) {
#if !SCENARIO_PICTURES
  (void)state;
  (void)options;
  return Status::invalid_argument(pictures_left_out());
#else
  const auto format = picture_format_of(options.picture);
  ScenarioFiles files{state.line_key, state.train_number, state.grid, state.table, state.trace.points()};
  if (const Status mismatch = mismatch_of(files); !mismatch.is_ok()) return mismatch;
  Picture picture = options.pictures.draw(files, *format, options.width, options.height).picture;
  if (!picture.error.empty()) return Status::corruption(picture.error);
  return std::move(picture.bytes);
#endif
}

/// The files a round writes, and the directories it claims: the three binary files, and the picture when
/// one is asked for (its directory claimed too when it is another one).
Result<OutputPlan> plan_round(const WatchOptions& options, const AuthorSources& author) {
  std::vector<RunFile> outputs = binary_outputs(options.directory, author.names.line_key, author.names.train_number);
  std::vector<std::string> directories = {options.directory};
  if (!options.picture.empty()) {
    outputs.push_back({"picture", options.picture});
    const std::string picture_directory = utf8_name(filesystem_path(options.picture).parent_path());
    directories.push_back(picture_directory.empty() ? "." : picture_directory);
  }
  return plan_outputs(source_inputs(options.sources), std::move(outputs), directories);
}

/// Writes what a round without error writes: the binary files of the compiled state, all or nothing,
/// then the picture. Returns what the status line says of it.
std::string write_round(const WatchOptions& options, const OutputPlan& plan, const RunState& state) {
  DirectoryLocks locks;
  if (const Status claimed = claim_directories(plan, locks); !claimed.is_ok())
    return "; " + claimed.message() + ": no file written";
  const std::vector<RunFile> binaries(plan.outputs.begin(), plan.outputs.begin() + binary_files().size());
  std::vector<OutputWriter> writers;
  for (const ScenarioFile file : binary_files()) writers.push_back(binary_file_bytes(state, file));
  if (const auto written = write_outputs(binaries, writers); !written) return "; " + written.status().message();
  std::string said = "; wrote " + written_files(binaries);
  if (options.picture.empty()) return said;
  const Result<std::string> picture = draw_picture(options, state);
  if (!picture) return said + "; no picture: " + picture.status().message();
  const std::string& bytes = *picture;
  const auto written = write_outputs({plan.outputs.back()}, {[&bytes](ByteSink& sink) { sink.write(bytes); }});
  if (!written) return said + "; " + written.status().message();
  return said + ", " + options.picture;
}

/// One round: reads, checks (every error), writes the files when there is no error, draws the picture;
/// prints the diagnostics, then one status line.
void round(const WatchOptions& options, int number) {
  const auto started = std::chrono::steady_clock::now();
  std::string status;
  const Result<AuthorSources> read = read_author_sources(options.sources);
  if (!read) {
    status =
        "the sources cannot be read (exit status " + std::to_string(exit_status_of(read.status())) + " of compile)";
  } else if (const AuthorSources& author = *read; author.input.errors() > 0) {
    print_diagnostics(options.diagnostics, author.sources, author.input);
    status = counted(author.input.errors(), "error") + " in the input; no file written";
  } else {
    AuthorCompilation checked = compile_author_sources(author, /*keep_going=*/true, options.directory);
    RunState& state = checked.state;
    add_plausibility_warnings(state);
    add_timetable_warnings(state);
    print_diagnostics(options.diagnostics, author.sources, state.diagnostics);
    status = counted(state.diagnostics.errors(), "error") + ", " + counted(state.diagnostics.warnings(), "warning");
    if (state.diagnostics.errors() > 0) {
      status += "; no file written";
    } else if (const Result<OutputPlan> plan = plan_round(options, author); !plan) {
      status += "; " + plan.status().message();
    } else {
      // Without an error, reading on never refused anything: the state is the one the format's own
      // compilation makes (the timetable's warnings change only the diagnostics), and the round writes
      // the same files as compile, under the lock of the directory, never over the sources it watches.
      status += write_round(options, *plan, state);
    }
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::ostringstream took;
  took << std::fixed << std::setprecision(2) << seconds;
  std::cout << "[" << clock_now() << "] round " << number << ": " << shown_name(status) << " (" << took.str() << " s)"
            << std::endl;
}

/// Says what happened to the watch: a directory lost and taken up again, changes the system dropped.
void say(const std::vector<WatchNotice>& notices) {
  for (const WatchNotice& notice : notices) {
    switch (notice.kind) {
      case WatchNotice::Kind::lost:
        std::cerr << "scenario: lost the watch of " << shown_name(notice.directory) << ": " << notice.reason
                  << "; waiting for it to come back\n";
        break;
      case WatchNotice::Kind::resumed:
        std::cerr << "scenario: watching " << shown_name(notice.directory) << " again\n";
        break;
      case WatchNotice::Kind::overflow:
        std::cerr << "scenario: the system's queue of changes overflowed; reading the sources again\n";
        break;
    }
  }
}

int watch(const WatchOptions& options) {
  // A picture this program does not draw: the whole command runs where the pictures are drawn, or is refused.
  if (!options.picture.empty() && !options.pictures.draw) return options.pictures.elsewhere();
#if SCENARIO_PICTURES
  if (!options.picture.empty() && !picture_format_of(options.picture)) {
    return refuse("cannot tell the picture format of " + options.picture + ": give a name ending in .png, .svg or .pdf",
                  kExitUsage);
  }
#endif
  std::unique_ptr<FileWatch> watching;
  try {
    watching =
        std::make_unique<FileWatch>(std::vector<std::string>{options.sources.line_path, options.sources.service_path});
  } catch (const FileError& failure) {
    return refuse("cannot watch " + shown_name(failure.path()) + ": " + failure.reason(), kExitFileFailure);
  }
  std::cerr << "scenario: watching " << shown_name(options.sources.line_path) << " and "
            << shown_name(options.sources.service_path) << "; Ctrl-C ends\n";
  for (int number = 1;; ++number) {
    round(options, number);
    for (bool changed = false; !changed;) {
      std::vector<WatchNotice> notices;
      changed = watching->wait_for_change(kQuiet, kWaitLimit, notices);
      say(notices);
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
