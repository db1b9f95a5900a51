// The program that runs everything itself: scenario.exe on Windows (its windows are the system's; it has
// no pictures), scenario-graphics on Linux (the window toolkit and the picture libraries, for the runs that
// scenario hands to it: the window run with a display, preview and watch --preview).
#include <exception>

#include "app/command_line.h"
#include "app/last_resort.h"
#include "app/pictures.h"
#include "app/standard_streams.h"
#include "app/window_run.h"
#include "platform/interrupt_cleanup.h"
#include "platform/process_start.h"
#if SCENARIO_PICTURES
#include "preview/preview_drawing.h"
#endif

int main(int argc, char** argv) {
  install_last_resort();
  install_interrupt_cleanup();
  use_binary_standard_streams();
  Pictures pictures;
#if SCENARIO_PICTURES
  pictures.draw = draw_scenario_picture;
#endif
  int status = 0;
  try {
    status = argc <= 1 ? run_window() : run_command_line(argc, argv, pictures);
  } catch (const std::exception& failure) {
    status = internal_failure(failure);
  }
  return status_after_output(status);
}
