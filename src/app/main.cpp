#include <exception>
#include <iostream>

#include "app/exit_status.h"
#include "app/form1.h"
#include "platform/file_error.h"
#include "platform/message_box.h"
#include "platform/program_directory.h"

int main() {
  try {
    Form1 form(program_directory(), /*with_window=*/true);
    return form.Form_Load();
  } catch (const FileError& failure) {
    show_message("Errore sul file " + failure.path() + ": " + failure.reason());
    return kExitFileFailure;
  }
}
