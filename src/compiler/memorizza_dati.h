#pragma once

#include "compiler/compile_scenario.h"

struct RunState;

/// The run's compilation from its files: reads both text sources from the program directory, compiles
/// them (compile_scenario, with the run state's line key, train number and trace flag) and deletes them
/// as the run does: the line description after reading it (error 101 when it is missing), the train
/// service after reading it, and both on a read failure.
CompileOutcome memorizza_dati(RunState& state);
