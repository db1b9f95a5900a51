#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <string_view>

#include "app/commands.h"
#include "app/exit_status.h"
#include "lsp/server.h"
#include "platform/heap.h"
#include "platform/standard_io.h"

namespace {

/// Serves the editor on standard input and output until it sends exit or closes its end.
int serve() {
  return_large_blocks_at_once();
  std::string output_failure;
  int status = kExitSuccess;
  {
    LanguageServer server([&output_failure](std::string_view bytes) { return write_standard_output(bytes, output_failure); },
                          {.debounce = std::chrono::milliseconds(200), .version = SCENARIO_VERSION});
    char buffer[1 << 16];
    for (;;) {
      std::string input_failure;
      const long got = read_standard_input(buffer, sizeof buffer, input_failure);
      if (got < 0) {
        std::cerr << "scenario: error: cannot read standard input: " << input_failure << "\n";
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
