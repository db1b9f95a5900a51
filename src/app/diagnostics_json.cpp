#include "app/diagnostics_json.h"

#include "app/diagnostics.h"
#include "scenario/windows1252.h"

int character_column(const SourcePlace& file_place, const Sources& sources) {
  const SourceFile& file = sources.of(file_place.source);
  if (file.encoding == InputEncoding::Windows1252) return file_place.column;
  const std::string_view line = file.line(file_place.line);
  int column = 1;
  for (std::size_t k = 0; k + 1 < static_cast<std::size_t>(file_place.column) && k < line.size(); ++k)
    if ((static_cast<unsigned char>(line[k]) & 0xC0) != 0x80) ++column;
  return column;
}

nlohmann::ordered_json diagnostic_json(const Diagnostic& compiled, const Sources& sources) {
  const Diagnostic diagnostic = in_files(compiled, sources);
  nlohmann::ordered_json json;
  json["severity"] = diagnostic.severity == Severity::Error ? "error" : "warning";
  json["code"] = rule_id(diagnostic);
  json["file"] = sources.of(file_of(diagnostic)).name;
  json["line"] = diagnostic.place ? nlohmann::ordered_json(diagnostic.place->line) : nullptr;
  json["column"] =
      diagnostic.place ? nlohmann::ordered_json(character_column(*diagnostic.place, sources)) : nullptr;
  json["position"] = diagnostic.position ? nlohmann::ordered_json(*diagnostic.position) : nullptr;
  json["cell"] = diagnostic.cell ? nlohmann::ordered_json(*diagnostic.cell) : nullptr;
  json["message"] = shown_text(diagnostic.message);
  json["detail"] = diagnostic.detail.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(shown_text(diagnostic.detail));
  nlohmann::ordered_json related = nlohmann::ordered_json::array();
  for (const RelatedPlace& place : diagnostic.related) {
    nlohmann::ordered_json entry;
    entry["file"] = sources.of(place.place.source).name;
    entry["line"] = place.place.line;
    entry["column"] = character_column(place.place, sources);
    entry["message"] = shown_text(place.message);
    related.push_back(std::move(entry));
  }
  json["related"] = std::move(related);
  return json;
}
