#include "platform/display.h"

#include <X11/Xlib.h>

#include <cstdlib>

bool display_available() {
  static const bool available = [] {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') return false;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    XCloseDisplay(display);
    return true;
  }();
  return available;
}
