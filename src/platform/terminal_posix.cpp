#include <unistd.h>

#include "platform/terminal.h"

bool standard_error_shows_colours() { return isatty(STDERR_FILENO) != 0; }
