#pragma once

/// The command-line tool: `scenario COMMAND ...`. Returns the exit status.
int run_command_line(int argc, char** argv);
