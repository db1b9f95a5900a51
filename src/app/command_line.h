#pragma once

#include "app/pictures.h"

/// The command-line tool: `scenario COMMAND ...`, with this program's way of making pictures. Returns the
/// exit status.
int run_command_line(int argc, char** argv, const Pictures& pictures);
