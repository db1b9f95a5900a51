#include "lsp/editor_diagnostics.h"

#include "lsp/source_view.h"
#include "platform/windows1252.h"

std::vector<protocol::Diagnostic> editor_diagnostics(const CheckedPair& checked, SourceKind source,
                                                     protocol::PositionEncoding encoding) {
  const DocumentPair& pair = checked.pair;
  const SourceView line_view(pair.sources.line, encoding);
  const SourceView service_view(pair.sources.service, encoding);
  const auto view_of = [&](SourceKind kind) -> const SourceView& {
    return kind == SourceKind::Line ? line_view : service_view;
  };

  std::vector<const Diagnostic*> found;
  if (checked.line_missing) found.push_back(&*checked.line_missing);
  for (const Diagnostic& diagnostic : checked.check.diagnostics().all()) found.push_back(&diagnostic);

  std::vector<protocol::Diagnostic> list;
  for (const Diagnostic* diagnostic : found) {
    if (file_of(*diagnostic) != source) continue;
    protocol::Diagnostic item;
    if (diagnostic->place) item.range = view_of(source).field_range(*diagnostic->place);
    item.severity = diagnostic->severity == Severity::Error ? protocol::DiagnosticSeverity::Error
                                                            : protocol::DiagnosticSeverity::Warning;
    item.code = rule_id(*diagnostic);
    item.message = diagnostic_text(*diagnostic);
    for (const RelatedPlace& place : diagnostic->related) {
      const std::string& uri = pair.uri_of(place.place.source);
      if (uri.empty()) continue;
      item.related.push_back({{uri, view_of(place.place.source).field_range(place.place)}, shown_text(place.message)});
    }
    list.push_back(std::move(item));
  }
  return list;
}
