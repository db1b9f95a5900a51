#include "app/form1.h"

#include <string>

#include "app/errore.h"
#include "app/exit_status.h"
#include "app/run_report.h"
#include "documents/notes.h"
#include "documents/slowdown_order.h"
#include "documents/timetable_card.h"
#include "output/memorizza_percorso.h"
#include "platform/interrupt_cleanup.h"
#include "platform/message_box.h"
#include "platform/program_directory.h"
#include "scenario/file_names.h"
#include "source/dati_linea.h"
#include "source/dati_treno.h"

Form1::Form1(std::string directory, bool with_window) : with_window_(with_window) {
  state_.program_directory = std::move(directory);
}

int Form1::Form_Load() {
  state_.line_key = "Lesca-Varo";
  state_.train_number = "148";
  if (with_window_) window_.show_and_draw();
  // The two text sources are written only to be compiled and deleted: an interrupt before the
  // compilation has deleted them removes them too.
  const RemovedOnInterrupt line_source(path_in(state_.program_directory, line_source_name(state_.line_key)));
  const RemovedOnInterrupt service_source(
      path_in(state_.program_directory, service_source_name(state_.line_key, state_.train_number)));
  dati_linea(state_);
  dati_treno(state_);
  dati_note(state_);
  dati_rallentamenti(state_);
  dati_scheda(state_);
  int32_t j = 1;
  // A taken place of the output ends the run before any binary file is written.
  if (const int32_t taken = memorizza_percorso(state_, j); taken != 0) errore(std::to_string(taken));
  // A compilation that left an error is not a success: the files are written, then the user is told.
  if (state_.error.code != 0) {
    show_message(run_report(state_));
    return kExitError;
  }
  return kExitSuccess;
}

void Form1::write_sources() const {
  dati_linea(state_);
  dati_treno(state_);
}
