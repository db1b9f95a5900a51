#include "platform/terminal.h"
#include "platform/windows_system.h"

bool standard_error_shows_colours() {
  const HANDLE console = GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  if (console == INVALID_HANDLE_VALUE || console == nullptr || !GetConsoleMode(console, &mode)) return false;
  if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0) return true;
  return SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
}
