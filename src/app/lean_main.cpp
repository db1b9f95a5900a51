// scenario on Linux: every command, started without the window toolkit and the picture libraries, whose
// loading took most of a small command's time. The runs that need them (the window run when a display is
// named, preview, watch --preview) are run by scenario-graphics, the same commands with those libraries,
// which must sit beside it: it is started in this process's place with the same command line, so that its
// exit status, its signals and its output are the run's own.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/exit_status.h"
#include "app/last_resort.h"
#include "app/pictures.h"
#include "app/standard_streams.h"
#include "app/window_run.h"
#include "platform/display.h"
#include "platform/file_error.h"
#include "platform/interrupt_cleanup.h"
#include "platform/process_start.h"
#include "platform/program_directory.h"

namespace {

constexpr const char* kGraphicsProgram = "scenario-graphics";

/// Why scenario-graphics could not be started.
struct NotStarted {
  std::string path;
  std::string reason;
};

/// Runs this command line in scenario-graphics, in this process's place: returns only when it could not be
/// started.
NotStarted run_in_graphics_program(int argc, char** argv) {
  std::string path;
  try {
    path = path_in(program_directory(), kGraphicsProgram);
  } catch (const FileError& failure) {
    return {kGraphicsProgram, failure.path() + ": " + failure.reason()};
  }
  std::vector<std::string> words{path};
  if (argc > 1) words.insert(words.end(), argv + 1, argv + argc);
  std::cout.flush();
  return {path, run_program_in_place(path, words)};
}

}  // namespace

int main(int argc, char** argv) {
  install_last_resort();
  install_interrupt_cleanup();
  use_binary_standard_streams();
  int status = 0;
  try {
    if (argc <= 1) {
      if (display_named()) {
        // Without its companion the run still does its work, as it does without a display.
        const NotStarted failure = run_in_graphics_program(argc, argv);
        std::cerr << "scenario: note: " << failure.path << " cannot be started (" << failure.reason
                  << "): the run goes on without a window\n";
      }
      status = run_window();
    } else {
      Pictures pictures;
      pictures.hand_over = [argc, argv] {
        const NotStarted failure = run_in_graphics_program(argc, argv);
        std::cerr << "scenario: error: cannot start " << failure.path
                  << ", which draws the pictures: " << failure.reason << "\n";
        return kExitFileFailure;
      };
      status = run_command_line(argc, argv, pictures);
    }
  } catch (const std::exception& failure) {
    status = internal_failure(failure);
  }
  return status_after_output(status);
}
