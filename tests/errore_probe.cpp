// Shows the run's window, then reports an error through errore: the window test drives it.
#include <string>

#include "app/errore.h"
#include "platform/wait_window.h"

int main(int argc, char** argv) {
  WaitWindow window;
  window.show_and_draw();
  errore(argc > 1 ? argv[1] : "1250");
}
