#include <CLI/CLI.hpp>

#include <iostream>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/form1.h"
#include "app/output_directory.h"

void add_generate_command(CLI::App& app, int& status) {
  auto* command = app.add_subcommand("generate", "Write the embedded scenario (sources, documents, binary files) "
                                                 "into a directory, without a window.");
  auto directory = std::make_shared<std::string>(".");
  command->add_option("-o,--output", *directory, "Directory for the files (default: the current directory)")
      ->check(non_empty_path());
  command->callback([directory, &status] {
    if (const std::string failure = create_output_directory(*directory); !failure.empty()) {
      std::cerr << "scenario: error: cannot make the output directory " << *directory << ": " << failure << "\n";
      status = kExitFileFailure;
      return;
    }
    Form1 form(*directory, /*with_window=*/false);
    status = form.Form_Load();
  });
}
