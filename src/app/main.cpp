#include "app/command_line.h"
#include "app/standard_streams.h"
#include "app/window_run.h"
#include "platform/interrupt_cleanup.h"

int main(int argc, char** argv) {
  install_interrupt_cleanup();
  const int status = argc <= 1 ? run_window() : run_command_line(argc, argv);
  return status_after_output(status);
}
