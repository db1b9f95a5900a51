#include <exception>

#include "app/command_line.h"
#include "app/last_resort.h"
#include "app/standard_streams.h"
#include "app/window_run.h"
#include "platform/interrupt_cleanup.h"
#include "platform/process_start.h"

int main(int argc, char** argv) {
  install_last_resort();
  install_interrupt_cleanup();
  use_binary_standard_streams();
  int status = 0;
  try {
    status = argc <= 1 ? run_window() : run_command_line(argc, argv);
  } catch (const std::exception& failure) {
    status = internal_failure(failure);
  }
  return status_after_output(status);
}
