#include <cstdlib>

#include "platform/display.h"

bool display_named() {
  const char* name = std::getenv("DISPLAY");
  return name != nullptr && *name != '\0';
}
