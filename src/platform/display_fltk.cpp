#include "platform/display.h"

#include <FL/x.H>

#include <cstdlib>
#include <iostream>

bool display_available() {
  static const bool available = [] {
    if (!display_named()) return false;
    const char* name = std::getenv("DISPLAY");
    const DisplayProbe probe(name, kDisplayPatience);
    if (probe.answer() == DisplayAnswer::Silent) {
      std::cerr << "scenario: note: the display " << name << " did not answer within "
                << kDisplayPatience.count() / 1000 << " s: the run goes on without a window\n";
      return false;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    // The toolkit takes this connection over. Closing it and letting the toolkit open its own would
    // leave the server without clients for a moment, and a server may reset then and refuse the next.
    fl_open_display(display);
    return true;
  }();
  return available;
}
