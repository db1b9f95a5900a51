#pragma once

/// The run started without arguments: the window, the embedded scenario, the files in the program's own
/// directory. Returns the exit status.
int run_window();
