#pragma once

#include <optional>
#include <string_view>

struct RunState;

/// Which sources a compilation has consumed (the run deletes those files afterwards).
struct SourcesRead {
  bool line = false;
  bool service = false;
};

/// Compiles the two sources held in memory: the line description, then (when the line part allows it)
/// the train service. A missing line description (no value) is error 101. A read failure sets error
/// code 25 and the place of the field; a missing train service is a read failure once it is needed.
/// Touches no file.
SourcesRead compile_sources(RunState& state, std::optional<std::string_view> line,
                            std::optional<std::string_view> service);

/// Reads both text sources from the program directory and deletes them as the run does: the line
/// description after reading it (error 101 when it is missing), the train service after reading it,
/// and both on a read failure.
void memorizza_dati(RunState& state);
