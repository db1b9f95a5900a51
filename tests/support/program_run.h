#pragma once

// A run of the real executable (SCENARIO_EXECUTABLE, defined for every test of the whole program), with
// its exit status and outputs.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "support/temporary_directory.h"

namespace test_support {

/// What a run of the program left: its exit status (-1 when it did not exit) and its two outputs.
struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs the real program in `directory` with `arguments` (words of a shell command line, quoted by the
/// caller where needed), standard input from /dev/null. `environment` goes before the command (such as
/// "NO_COLOR=1"); `stdout_to` and `stderr_to` replace the capture of the standard output and error (such
/// as "/dev/full").
inline Outcome run_scenario(const std::string& directory, const std::string& arguments,
                            const std::string& environment = "", const std::string& stdout_to = "",
                            const std::string& stderr_to = "") {
  const TemporaryDirectory logs("scenario-logs");
  const std::string out = logs.at("out");
  const std::string err = logs.at("err");
  const std::string command = "cd '" + directory + "' && " + environment + " '" SCENARIO_EXECUTABLE "' " + arguments +
                              " < /dev/null > " + (stdout_to.empty() ? "'" + out + "'" : stdout_to) + " 2> " +
                              (stderr_to.empty() ? "'" + err + "'" : stderr_to);
  const int status = std::system(command.c_str());
  Outcome outcome;
  outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  outcome.out = logs.read("out");
  outcome.err = logs.read("err");
  return outcome;
}

}  // namespace test_support
