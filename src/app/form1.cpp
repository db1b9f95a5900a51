#include "app/form1.h"

#include "app/exit_status.h"
#include "source/dati_linea.h"

Form1::Form1(std::string directory, bool with_window) : with_window_(with_window) {
  state_.program_directory = std::move(directory);
}

int Form1::Form_Load() {
  state_.line_key = "Lesca-Varo";
  state_.train_number = "148";
  if (with_window_) window_.show_and_draw();
  dati_linea(state_);
  return kExitSuccess;
}
