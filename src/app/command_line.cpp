#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/last_resort.h"
#include "app/refusal.h"
#include "platform/file_error.h"
#include "platform/message_box.h"
#include "platform/process_start.h"

CLI::Validator non_empty_path() {
  return CLI::Validator([](const std::string& value) { return value.empty() ? std::string("an empty name") : std::string(); },
                        "PATH");
}

int run_command_line(int argc, char** argv) {
  send_messages_to_standard_error();
  CLI::App app{"Scenario generator and compiler for a train-driving simulator.\n"
               "Without arguments: the window run of the embedded scenario, in the program's directory.",
               "scenario"};
  app.set_version_flag("--version", SCENARIO_VERSION);
  app.require_subcommand(1);
  int status = kExitSuccess;
  add_generate_command(app, status);
  add_new_command(app, status);
  add_compile_commands(app, status);
  add_documents_command(app, status);
  add_timetable_command(app, status);
  add_inspect_command(app, status);
  add_preview_command(app, status);
  add_lsp_command(app, status);
  add_watch_command(app, status);
  try {
    // The words in UTF-8 on every system (on Windows, file names in any script).
    std::vector<std::string> words = command_line_words(argc, argv);
    std::vector<char*> pointers;
    for (std::string& word : words) pointers.push_back(word.data());
    app.parse(static_cast<int>(pointers.size()), pointers.data());
  } catch (const CLI::ParseError& error) {
    // The parser's own statuses (105, 106, ...) are not the program's: every mistake in the arguments
    // gives one status; --help and --version stay a success.
    return app.exit(error) == 0 ? kExitSuccess : kExitUsage;
  } catch (const FileError& failure) {
    return refuse("cannot write " + failure.path() + ": " + failure.reason(), kExitFileFailure);
  } catch (const std::exception& failure) {
    // No exception of a library ends the program with an abort.
    return internal_failure(failure);
  }
  return status;
}
