#include <CLI/CLI.hpp>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "app/commands.h"
#include "app/exit_status.h"
#include "lsp/server.h"

namespace {

/// Writes all of `bytes` to a descriptor; false, with the system's reason, when it cannot.
bool write_all(int descriptor, std::string_view bytes, std::string& reason) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      reason = written < 0 ? std::strerror(errno) : "nothing written";
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

/// Serves the editor on standard input and output until it sends exit or closes its end.
int serve() {
  // A client that goes away closes the pipe: the write then fails with a reason instead of a signal.
  std::signal(SIGPIPE, SIG_IGN);
  std::string output_failure;
  int status = kExitSuccess;
  {
    LanguageServer server([&output_failure](std::string_view bytes) { return write_all(STDOUT_FILENO, bytes, output_failure); },
                          {.debounce = std::chrono::milliseconds(200), .version = SCENARIO_VERSION});
    char buffer[1 << 16];
    for (;;) {
      const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        std::cerr << "scenario: error: cannot read standard input: " << std::strerror(errno) << "\n";
        return kExitFileFailure;
      }
      if (got == 0 || !server.receive(std::string_view(buffer, static_cast<std::size_t>(got)))) break;
    }
    status = server.exit_status();
    if (server.output_failed()) {
      std::cerr << "scenario: error: cannot write standard output: " << output_failure << "\n";
      status = kExitFileFailure;
    }
  }
  return status;
}

}  // namespace

void add_lsp_command(CLI::App& app, int& status) {
  auto* command = app.add_subcommand(
      "lsp", "Serve editors: a language server for the two source formats on standard input and output.");
  auto stdio = std::make_shared<bool>(false);
  command->add_flag("--stdio", *stdio, "Talk on standard input and output (the only way; taken for the editors that pass it)");
  command->callback([stdio, &status] { status = serve(); });
}
