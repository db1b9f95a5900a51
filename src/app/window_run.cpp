#include "app/window_run.h"

#include "app/exit_status.h"
#include "app/form1.h"
#include "app/output_directory.h"
#include "platform/file_error.h"
#include "platform/message_box.h"
#include "platform/program_directory.h"

int run_window() {
  try {
    const std::string directory = program_directory();
    DirectoryLock lock;
    if (!lock_for_the_run(directory, lock)) throw FileError(directory, directory_in_use());
    Form1 form(directory, /*with_window=*/true);
    return form.Form_Load();
  } catch (const FileError& failure) {
    show_message(file_failure_message(failure));
    return kExitFileFailure;
  }
}
