#include "app/command_line.h"
#include "app/window_run.h"

int main(int argc, char** argv) {
  if (argc <= 1) return run_window();
  return run_command_line(argc, argv);
}
