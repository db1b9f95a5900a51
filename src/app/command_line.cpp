#include "app/command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/last_resort.h"
#include "app/refusal.h"
#include "platform/file_error.h"
#include "platform/message_box.h"
#include "platform/process_start.h"

CLI::Validator non_empty_path() {
  return CLI::Validator(
      [](const std::string& value) { return value.empty() ? std::string("an empty name") : std::string(); }, "PATH");
}

namespace {

/// A command of the command line, with the function that adds it.
struct Command {
  std::string_view name;
  std::function<void(CLI::App&, int&)> add;
};

/// Every command, in the order of the help.
std::vector<Command> commands(const Pictures& pictures) {
  return {
      {"generate", add_generate_command},
      {"new", add_new_command},
      {"compile", add_compile_command},
      {"check", add_check_command},
      {"documents", add_documents_command},
      {"timetable", add_timetable_command},
      {"inspect", add_inspect_command},
      {"preview", [&pictures](CLI::App& app, int& status) { add_preview_command(app, status, pictures); }},
      {"lsp", add_lsp_command},
      {"watch", [&pictures](CLI::App& app, int& status) { add_watch_command(app, status, pictures); }},
  };
}

/// The commands a run given `words` needs on its command line. Adding every command's options takes longer
/// than the rest of a small command's start, and a run needs only the command it names: the first word that
/// is no option (the program's own options are flags, and the parser enters one command at most). The help
/// lists every command, and a first word that names none is parsed with them all.
std::vector<Command> needed_commands(std::vector<Command> all, const std::vector<std::string>& words) {
  const auto rest = std::next(words.begin(), words.empty() ? 0 : 1);
  if (std::any_of(rest, words.end(), [](const std::string& word) { return word == "-h" || word == "--help"; }))
    return all;
  const auto named = std::find_if(rest, words.end(), [](const std::string& word) { return !word.starts_with('-'); });
  if (named == words.end()) return {};  // --version, or a mistake in the program's own options
  const auto found =
      std::find_if(all.begin(), all.end(), [&named](const Command& command) { return command.name == *named; });
  if (found == all.end()) return all;
  return {*found};
}

}  // namespace

int run_command_line(int argc, char** argv, const Pictures& pictures) {
  send_messages_to_standard_error();
  // The words in UTF-8 on every system (on Windows, file names in any script).
  std::vector<std::string> words = command_line_words(argc, argv);
  CLI::App app{"Scenario generator and compiler for a train-driving simulator.\n"
               "Without arguments: the window run of the embedded scenario, in the program's directory.",
               "scenario"};
  app.set_version_flag("--version", SCENARIO_VERSION);
  app.require_subcommand(1);
  int status = kExitSuccess;
  for (const Command& command : needed_commands(commands(pictures), words)) command.add(app, status);
  try {
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
