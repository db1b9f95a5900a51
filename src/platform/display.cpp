#include "platform/display.h"

#include <FL/x.H>

#include <cstdlib>

bool display_available() {
  static const bool available = [] {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    // The toolkit takes this connection over. Closing it and letting the toolkit open its own would
    // leave the server without clients for a moment, and a server may reset then and refuse the next.
    fl_open_display(display);
    return true;
  }();
  return available;
}
