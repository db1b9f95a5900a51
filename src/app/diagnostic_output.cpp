#include "app/diagnostic_output.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <iostream>
#include <map>
#include <string_view>

#include "app/diagnostics.h"
#include "app/diagnostics_json.h"
#include "app/diagnostics_sarif.h"
#include "platform/terminal.h"

namespace {

bool colour_wanted(ColourUse colour) {
  if (colour != ColourUse::Auto) return colour == ColourUse::Always;
  const char* no_colour = std::getenv("NO_COLOR");
  const char* term = std::getenv("TERM");
  return (no_colour == nullptr || *no_colour == '\0') && !(term != nullptr && std::string_view(term) == "dumb") &&
         standard_error_shows_colours();
}

}  // namespace

void add_diagnostic_options(CLI::App* command, DiagnosticOptions& options) {
  command
      ->add_option("--diagnostics-format", options.format,
                   "text (for people, on standard error), json (one object per line) or sarif (a SARIF 2.1.0 "
                   "log), the last two alone on standard output")
      ->transform(CLI::CheckedTransformer(std::map<std::string, DiagnosticsFormat>{{"text", DiagnosticsFormat::Text},
                                                                                   {"json", DiagnosticsFormat::Json},
                                                                                   {"sarif", DiagnosticsFormat::Sarif}},
                                          CLI::ignore_case)
                      .description("{text,json,sarif}"));
  command
      ->add_option("--color", options.colour,
                   "Colours in the text diagnostics: auto (on a terminal, unless NO_COLOR is set), always or never")
      ->transform(CLI::CheckedTransformer(
                      std::map<std::string, ColourUse>{
                          {"auto", ColourUse::Auto}, {"always", ColourUse::Always}, {"never", ColourUse::Never}},
                      CLI::ignore_case)
                      .description("{auto,always,never}"));
}

void print_diagnostics(const DiagnosticOptions& options, const Sources& sources, const Diagnostics& all_found,
                       Shown shown) {
  const Diagnostics errors = options.no_warnings ? all_found.without_warnings() : Diagnostics();
  const Diagnostics& diagnostics = options.no_warnings ? errors : all_found;
  if (options.format == DiagnosticsFormat::Sarif) {
    std::cout << sarif_log(diagnostics, sources).dump(2) << "\n";
    return;
  }
  if (options.format == DiagnosticsFormat::Json) {
    for (const Diagnostic& diagnostic : diagnostics.all())
      std::cout << diagnostic_json(diagnostic, sources).dump() << "\n";
    return;
  }
  const DiagnosticPrinter printer(sources, colour_wanted(options.colour));
  bool error_shown = false;
  for (const Diagnostic& diagnostic : diagnostics.all()) {
    const bool error = diagnostic.severity == Severity::Error;
    if (shown != Shown::All && error && error_shown) continue;
    if (shown == Shown::FirstErrorOnly && !error) continue;
    std::cerr << printer.format(diagnostic);
    error_shown = error_shown || error;
    if (shown == Shown::FirstErrorOnly) return;
  }
  for (const Omitted& omitted : diagnostics.omitted())
    if (shown == Shown::All || (shown == Shown::FirstErrorAndWarnings && omitted.severity == Severity::Warning))
      std::cerr << printer.format(omitted);
}
