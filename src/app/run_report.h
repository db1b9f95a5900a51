#pragma once

#include <string>

struct RunState;

/// The report of an error code left by the compilation: " Errore n. " and the code, then, when the error
/// has a position, a second line "Posizione: " and the position in metres.
std::string run_report(const RunState& state);
