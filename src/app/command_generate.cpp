#include <CLI/CLI.hpp>

#include "app/commands.h"
#include "app/form1.h"

void add_generate_command(CLI::App& app, int& status) {
  auto* command = app.add_subcommand("generate", "Write the embedded scenario (sources, documents, binary files) "
                                                 "into a directory, without a window.");
  auto directory = std::make_shared<std::string>(".");
  command->add_option("-o,--output", *directory, "Directory for the files (default: the current directory)")
      ->check(CLI::ExistingDirectory);
  command->callback([directory, &status] {
    Form1 form(*directory, /*with_window=*/false);
    status = form.Form_Load();
  });
}
