#include "app/diagnostics.h"

#include "scenario/error_codes.h"

namespace {

std::vector<std::size_t> line_starts_of(std::string_view text) {
  std::vector<std::size_t> starts{0};
  for (std::size_t i = 0; i < text.size(); ++i)
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
      starts.push_back(i + 1);
  return starts;
}

/// The source an error without a place concerns.
SourceKind source_of(int32_t code) {
  switch (code) {
    case kErrorSignalControlPoint:
    case kErrorSlowdownControlPoint:
    case kErrorSlowdownWalk:
    case kErrorStationRecords:
    case kErrorMarkerTaken:
    case kErrorCodeTaken:
      return SourceKind::Service;
    default:
      return SourceKind::Line;
  }
}

/// Lines longer than this are quoted as a window around the caret.
constexpr std::size_t kLongestQuoted = 160;
constexpr std::size_t kWindowBefore = 60;
constexpr std::size_t kWindowAfter = 60;

}  // namespace

DiagnosticPrinter::DiagnosticPrinter(const Sources& sources) : sources_(sources) {
  line_starts_[static_cast<int>(SourceKind::Line)] = line_starts_of(sources.line.text);
  line_starts_[static_cast<int>(SourceKind::Service)] = line_starts_of(sources.service.text);
}

std::string_view DiagnosticPrinter::line_text(SourceKind source, int line) const {
  const std::vector<std::size_t>& starts = line_starts_[static_cast<int>(source)];
  const std::string_view text = sources_.of(source).text;
  if (line < 1 || static_cast<std::size_t>(line) > starts.size()) return {};
  const std::size_t start = starts[static_cast<std::size_t>(line - 1)];
  std::size_t end = start;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  return text.substr(start, end - start);
}

std::string DiagnosticPrinter::quote(const SourcePlace& place) const {
  std::string_view line = line_text(place.source, place.line);
  std::size_t caret_at = place.column > 0 ? static_cast<std::size_t>(place.column - 1) : 0;
  std::string shown;
  if (line.size() > kLongestQuoted) {
    const std::size_t from = caret_at > kWindowBefore ? caret_at - kWindowBefore : 0;
    const std::size_t to = std::min(line.size(), caret_at + kWindowAfter);
    if (from > 0) shown = "...";
    const std::size_t offset = shown.size();
    shown += line.substr(from, to - from);
    if (to < line.size()) shown += "...";
    line = std::string_view(shown).substr(offset, to - from);
    caret_at = caret_at - from + offset;
    // The caret lines up under `shown`, whose first `offset` characters are the dots.
    std::string caret(offset, ' ');
    for (std::size_t n = 0; n + offset < caret_at; ++n) caret += n < line.size() && line[n] == '\t' ? '\t' : ' ';
    return shown + "\n" + caret + "^\n";
  }
  std::string caret;
  for (std::size_t n = 0; n < caret_at; ++n) caret += n < line.size() && line[n] == '\t' ? '\t' : ' ';
  return std::string(line) + "\n" + caret + "^\n";
}

std::string DiagnosticPrinter::format(const Diagnostic& diagnostic) const {
  std::string message;
  if (diagnostic.severity == Severity::Error) {
    message = "error E" + std::to_string(diagnostic.code) + ": " + diagnostic.message;
    if (diagnostic.position) {
      message += " (at " + std::to_string(*diagnostic.position) + " m";
      if (diagnostic.cell) message += ", cell " + std::to_string(*diagnostic.cell);
      message += ")";
    }
  } else {
    message = "warning: " + diagnostic.message;
  }
  if (!diagnostic.place) return sources_.of(source_of(diagnostic.code)).name + ": " + message + "\n";
  const SourcePlace& place = *diagnostic.place;
  std::string out = sources_.of(place.source).name + ":" + std::to_string(place.line) + ":" +
                    std::to_string(place.column) + ": " + message + "\n" + quote(place);
  for (const RelatedPlace& related : diagnostic.related) {
    out += sources_.of(related.place.source).name + ":" + std::to_string(related.place.line) + ":" +
           std::to_string(related.place.column) + ": note: " + related.message + "\n" + quote(related.place);
  }
  return out;
}

std::string DiagnosticPrinter::format(const Omitted& omitted) const {
  if (omitted.severity == Severity::Error)
    return "scenario: ... and " + std::to_string(omitted.count) + " more errors E" + std::to_string(omitted.code) +
           " not shown\n";
  return "scenario: ... and " + std::to_string(omitted.count) + " more warnings of this kind (" +
         std::string(warning_kind_name(omitted.warning)) + ") not shown\n";
}
