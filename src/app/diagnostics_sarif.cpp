#include "app/diagnostics_sarif.h"

#include <map>
#include <string>

#include "app/diagnostics.h"
#include "platform/file_uri.h"
#include "platform/windows1252.h"
#include "scenario/error_codes.h"

namespace {

using Json = nlohmann::ordered_json;

constexpr const char* kSchema = "https://json.schemastore.org/sarif-2.1.0.json";

Json message(const std::string& text) { return Json{{"text", text}}; }

Json physical_location(const Sources& sources, SourceKind source, const std::optional<SourcePlace>& place) {
  Json location;
  location["artifactLocation"] = Json{{"uri", uri_reference_of_path(sources.of(source).name)}};
  if (place) {
    location["region"] = Json{{"startLine", place->line}, {"startColumn", sources.of(source).character_column(*place)}};
  }
  return location;
}

Json rules() {
  Json all = Json::array();
  for (const ErrorCodeInfo& info : error_code_table()) {
    Json rule;
    rule["id"] = error_id(info.code);
    rule["shortDescription"] = message(info.meaning);
    rule["defaultConfiguration"] = Json{{"level", "error"}};
    all.push_back(std::move(rule));
  }
  Json encoding;
  encoding["id"] = "input-encoding";
  encoding["shortDescription"] = message("a character of a UTF-8 source that Windows-1252 cannot hold");
  encoding["defaultConfiguration"] = Json{{"level", "error"}};
  all.push_back(std::move(encoding));
  for (const WarningKind kind : warning_kinds()) {
    Json rule;
    rule["id"] = std::string(warning_kind_name(kind));
    rule["shortDescription"] = message(std::string(warning_kind_description(kind)));
    rule["defaultConfiguration"] = Json{{"level", "warning"}};
    all.push_back(std::move(rule));
  }
  return all;
}

}  // namespace

nlohmann::ordered_json sarif_log(const Diagnostics& diagnostics, const Sources& sources) {
  Json driver;
  driver["name"] = "scenario";
  driver["version"] = SCENARIO_VERSION;
  driver["rules"] = rules();
  std::map<std::string, int> rule_index;
  for (std::size_t n = 0; n < driver["rules"].size(); ++n)
    rule_index[driver["rules"][n]["id"].get<std::string>()] = static_cast<int>(n);

  Json results = Json::array();
  for (const Diagnostic& compiled : diagnostics.all()) {
    const Diagnostic diagnostic = in_files(compiled, sources);
    const std::string text = diagnostic_text(diagnostic);
    Json result;
    const std::string id = rule_id(diagnostic);
    result["ruleId"] = id;
    result["ruleIndex"] = rule_index.at(id);
    result["level"] = diagnostic.severity == Severity::Error ? "error" : "warning";
    result["message"] = message(text);
    result["locations"] =
        Json::array({Json{{"physicalLocation", physical_location(sources, file_of(diagnostic), diagnostic.place)}}});
    if (!diagnostic.related.empty()) {
      Json related = Json::array();
      int id_number = 1;
      for (const RelatedPlace& place : diagnostic.related) {
        Json location;
        location["id"] = id_number++;
        location["physicalLocation"] = physical_location(sources, place.place.source, place.place);
        location["message"] = message(shown_text(place.message));
        related.push_back(std::move(location));
      }
      result["relatedLocations"] = std::move(related);
    }
    results.push_back(std::move(result));
  }

  Json run;
  run["tool"] = Json{{"driver", std::move(driver)}};
  run["columnKind"] = "unicodeCodePoints";
  run["results"] = std::move(results);
  Json omitted = Json::array();
  for (const Omitted& more : diagnostics.omitted()) {
    omitted.push_back(Json{{"ruleId", more.severity == Severity::Error ? error_id(more.code)
                                                                       : std::string(warning_kind_name(more.warning))},
                           {"count", more.count}});
  }
  if (!omitted.empty()) run["properties"] = Json{{"notShown", std::move(omitted)}};

  Json log;
  log["$schema"] = kSchema;
  log["version"] = "2.1.0";
  log["runs"] = Json::array({std::move(run)});
  return log;
}
