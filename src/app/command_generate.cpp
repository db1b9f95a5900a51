#include <CLI/CLI.hpp>

#include "app/commands.h"
#include "app/exit_status.h"
#include "app/form1.h"
#include "app/output_plan.h"
#include "app/refusal.h"

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
    // The run writes its files one by one as it goes (sources, documents, then the binary files as one
    // set): the plan only claims the directory, for the whole run.
    const Result<OutputPlan> plan = plan_outputs({}, {}, {*directory});
    DirectoryLocks locks;
    if (const Status claimed = plan ? claim_directories(*plan, locks) : plan.status(); !claimed.is_ok()) {
      status = refuse(claimed);
      return;
    }
    Form1 form(*directory, /*with_window=*/false);
    status = form.Form_Load();
    if (*keep_sources) form.write_sources();
  });
}
