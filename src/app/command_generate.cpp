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
  auto keep_sources = std::make_shared<bool>(false);
  command->add_flag("--keep-sources", *keep_sources,
                    "Keep the two text sources (K_linea.txt, K_N-.txt), which the run deletes, as an example");
  command->callback([directory, keep_sources, &status] {
    DirectoryLock lock;
    if (const std::string failure = claim_output_directory(*directory, lock); !failure.empty()) {
      std::cerr << "scenario: error: " << failure << "\n";
      status = kExitFileFailure;
      return;
    }
    Form1 form(*directory, /*with_window=*/false);
    status = form.Form_Load();
    if (*keep_sources) form.write_sources();
  });
}
