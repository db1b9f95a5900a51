#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/refusal.h"
#include "lsp/server.h"
#include "platform/heap.h"
#include "platform/standard_io.h"

namespace {

/// Serves the editor on standard input and output until it sends exit or closes its end.
int serve() {
  return_large_blocks_at_once();
  Status output_failure;
  int status = kExitSuccess;
  {
    LanguageServer server(
        [&output_failure](std::string_view bytes) {
          const Status written = write_standard_output(bytes);
          if (!written.is_ok()) output_failure = written;  // the first failure is the one to tell
          return written.is_ok();
        },
        {.debounce = std::chrono::milliseconds(200), .version = SCENARIO_VERSION});
    char buffer[1 << 16];
    for (;;) {
      const Result<std::size_t> got = read_standard_input(buffer, sizeof buffer);
      if (!got) return refuse("cannot read standard input: " + got.status().message(), kExitFileFailure);
      if (*got == 0 || !server.receive(std::string_view(buffer, *got))) break;
    }
    status = server.exit_status();
    if (server.output_failed())
      status = refuse("cannot write standard output: " + output_failure.message(), kExitFileFailure);
  }
  return status;
}

}  // namespace

void add_lsp_command(CLI::App& app, int& status) {
  auto* command = app.add_subcommand(
      "lsp", "Serve editors: a language server for the two source formats on standard input and output.");
  auto stdio = std::make_shared<bool>(false);
  command->add_flag("--stdio", *stdio,
                    "Talk on standard input and output (the only way; taken for the editors that pass it)");
  command->callback([stdio, &status] { status = serve(); });
}
