#include "app/command_line.h"
#include "app/window_run.h"
#include "platform/interrupt_cleanup.h"

int main(int argc, char** argv) {
  install_interrupt_cleanup();
  if (argc <= 1) return run_window();
  return run_command_line(argc, argv);
}
