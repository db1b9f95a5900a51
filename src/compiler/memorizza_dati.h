#pragma once

#include <optional>
#include <string_view>

struct RunState;

/// Compiles the two sources held in memory: the line description, then (when the line part allows it)
/// the train service. A read failure sets error code 25 and the place of the field. Touches no file.
/// `service` empty means the train service file is missing, which is a read failure once it is needed.
void compile_sources(RunState& state, std::string_view line, std::optional<std::string_view> service);

/// Reads both text sources from the program directory and deletes them as the run does: the line
/// description after reading it (error 101 when it is missing), the train service after reading it,
/// and both on a read failure.
void memorizza_dati(RunState& state);
