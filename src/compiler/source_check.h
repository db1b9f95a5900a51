#pragma once

// The check of an author's pair of sources, as `scenario check` makes it and as the editor support
// repeats it: the sources converted to the text the compiler reads, the compilation reading on after
// refusals, and a warning when the two file names do not agree.

#include <memory>
#include <optional>
#include <string>

#include "compiler/compile_scenario.h"
#include "compiler/source_files.h"
#include "scenario/diagnostics.h"
#include "scenario/file_names.h"
#include "scenario/run_state.h"

/// How a pair is compiled: the line key and the train number, and what the two file names say when
/// they have the forms K_linea.txt and K_N-.txt (left empty when the key was given otherwise: the names
/// are then not compared).
struct PairNames {
  std::string line_key;
  std::string train_number;
  std::optional<ParsedFileName> line_file;
  std::optional<ParsedFileName> service_file;
};

/// A warning when the two file names give different line keys; nothing when a name is missing.
std::optional<Diagnostic> file_names_differ(const std::optional<ParsedFileName>& line,
                                            const std::optional<ParsedFileName>& service);

/// Converts both sources to the texts the compiler reads (make_source); the errors of the conversion,
/// one for each character refused (the sink keeps the first 100). After an error the sources must not be
/// compiled.
Diagnostics convert_sources(Sources& sources);

/// Compiles two converted sources as the commands do (compile_scenario with the line key and the train
/// number), then adds the warning of file_names_differ.
CompileOutcome compile_pair(RunState& state, const Sources& sources, const PairNames& names, bool keep_going);

/// What a check found: the errors of the conversion, and the compilation when both sources converted.
struct PairCheck {
  Diagnostics conversion;
  std::unique_ptr<RunState> state;  // none when a source could not be converted

  const Diagnostics& diagnostics() const { return state ? state->diagnostics : conversion; }
};

/// The check of `scenario check`: converts the sources and, when both converted, compiles them reading
/// on after every refusal. The plan trace is not made (the check writes nothing): its diagnostics are
/// those of a compilation that makes it.
PairCheck check_pair(Sources& sources, const PairNames& names);
