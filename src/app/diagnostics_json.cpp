#include "app/diagnostics_json.h"

#include "app/diagnostics.h"
#include "platform/files.h"
#include "platform/windows1252.h"

nlohmann::ordered_json diagnostic_json(const Diagnostic& compiled, const Sources& sources) {
  const Diagnostic diagnostic = in_files(compiled, sources);
  nlohmann::ordered_json json;
  json["severity"] = diagnostic.severity == Severity::Error ? "error" : "warning";
  json["code"] = rule_id(diagnostic);
  json["file"] = shown_name(sources.of(file_of(diagnostic)).name);
  json["line"] = diagnostic.place ? nlohmann::ordered_json(diagnostic.place->line) : nullptr;
  json["column"] =
      diagnostic.place
          ? nlohmann::ordered_json(sources.of(diagnostic.place->source).character_column(*diagnostic.place))
          : nullptr;
  json["position"] = diagnostic.position ? nlohmann::ordered_json(*diagnostic.position) : nullptr;
  json["cell"] = diagnostic.cell ? nlohmann::ordered_json(*diagnostic.cell) : nullptr;
  json["message"] = shown_text(diagnostic.message);
  json["detail"] = diagnostic.detail.empty() ? nlohmann::ordered_json(nullptr)
                                             : nlohmann::ordered_json(shown_text(diagnostic.detail));
  nlohmann::ordered_json related = nlohmann::ordered_json::array();
  for (const RelatedPlace& place : diagnostic.related) {
    nlohmann::ordered_json entry;
    entry["file"] = shown_name(sources.of(place.place.source).name);
    entry["line"] = place.place.line;
    entry["column"] = sources.of(place.place.source).character_column(place.place);
    entry["message"] = shown_text(place.message);
    related.push_back(std::move(entry));
  }
  json["related"] = std::move(related);
  return json;
}
