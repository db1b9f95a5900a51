#include "compiler/source_check.h"

#include <utility>

std::optional<Diagnostic> file_names_differ(const std::optional<ParsedFileName>& line,
                                            const std::optional<ParsedFileName>& service) {
  if (!line || !service || line->line_key == service->line_key) return std::nullopt;
  Diagnostic warning;
  warning.severity = Severity::Warning;
  warning.warning = WarningKind::FileNamesDiffer;
  warning.message = "the line description's name gives the line key \"" + line->line_key +
                    "\", the train service's \"" + service->line_key + "\": the files are compiled as line \"" +
                    line->line_key + "\"";
  return warning;
}

Diagnostics convert_sources(Sources& sources) {
  Diagnostics errors;
  make_source(sources.line, SourceKind::Line, errors);
  make_source(sources.service, SourceKind::Service, errors);
  return errors;
}

CompileOutcome compile_pair(RunState& state, const Sources& sources, const PairNames& names, bool keep_going) {
  state.line_key = names.line_key;
  state.train_number = names.train_number;
  const CompileOutcome outcome =
      compile_scenario(state, sources.line.compiled(), sources.service.compiled(), {.keep_going = keep_going});
  if (auto warning = file_names_differ(names.line_file, names.service_file)) state.diagnostics.add(std::move(*warning));
  return outcome;
}

PairCheck check_pair(Sources& sources, const PairNames& names) {
  PairCheck check;
  check.conversion = convert_sources(sources);
  if (check.conversion.errors() > 0) return check;
  check.state = std::make_unique<RunState>();
  compile_pair(*check.state, sources, names, /*keep_going=*/true);
  return check;
}
