#pragma once

#include <functional>
#include <vector>

#include "platform/file_replacement.h"
#include "scenario/file_names.h"

struct RunState;

/// What writes the bytes of binary file `file` (one of binary_files()) of the scenario compiled into
/// `state`, encoded while it is written: the largest plan trace is never held whole. It refers to
/// `state`, which must outlive it.
std::function<void(ByteSink&)> binary_file_bytes(const RunState& state, ScenarioFile file);

/// The scenario's binary files as a set to replace, in `state.program_directory`: the plan trace (only
/// when the trace flag is non-zero), the scenario table, then the grid (binary_file_bytes).
std::vector<FileReplacement> binary_file_replacements(const RunState& state);

/// Writes the scenario's binary files (binary_file_replacements), all or nothing (replace_files): a file
/// that cannot be written throws FileError, and every file stays as it was.
void write_binary_files(const RunState& state);
