#include "app/standard_streams.h"

#include <cstdio>
#include <iostream>

#include "app/exit_status.h"

int status_after_output(int status) {
  std::cout.flush();
  std::cerr.flush();
  const bool output_lost = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  const bool errors_lost = !std::cerr || std::fflush(stderr) != 0 || std::ferror(stderr) != 0;
  if (status != kExitSuccess || (!output_lost && !errors_lost)) return status;
  if (output_lost && !errors_lost) {
    std::cerr << "scenario: error: cannot write the standard output\n";
    std::cerr.flush();
  }
  return kExitFileFailure;
}
