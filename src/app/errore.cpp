#include "app/errore.h"

#include <cstdlib>

#include "app/exit_status.h"
#include "platform/message_box.h"

std::string errore_message(const std::string& a) { return " Errore n. " + a; }

void errore(const std::string& a) {
  show_message(errore_message(a));
  std::exit(kExitError);
}
