#include "scenario/file_names.h"

#include <array>

namespace {

struct Naming {
  ScenarioFile file;
  std::string_view ending;
  bool with_train;  // named K_N + ending, else K + ending
};

// Longer endings first: a name is taken by the first ending it has.
constexpr std::array<Naming, 8> kNamings{{
    {ScenarioFile::LineSource, "_linea.txt", false},
    {ScenarioFile::ServiceSource, "-.txt", true},
    {ScenarioFile::Notes, "_note.txt", true},
    {ScenarioFile::SlowdownOrder, "_rallentamenti.txt", true},
    {ScenarioFile::TimetableCard, "_scheda_treno.txt", true},
    {ScenarioFile::Trace, "_linea.dat", false},
    {ScenarioFile::Table, ".sim", true},
    {ScenarioFile::Grid, ".dat", true},
}};

const Naming& naming_of(ScenarioFile file) {
  for (const Naming& naming : kNamings)
    if (naming.file == file) return naming;
  return kNamings.front();
}

}  // namespace

std::string scenario_file_name(ScenarioFile file, std::string_view line_key, std::string_view train_number) {
  const Naming& naming = naming_of(file);
  std::string name(line_key);
  if (naming.with_train) {
    name += '_';
    name += train_number;
  }
  name += naming.ending;
  return name;
}

std::optional<ParsedFileName> parse_file_name(std::string_view name) {
  for (const Naming& naming : kNamings) {
    if (!name.ends_with(naming.ending)) continue;
    const std::string_view stem = name.substr(0, name.size() - naming.ending.size());
    if (!naming.with_train) {
      if (stem.empty()) return std::nullopt;
      return ParsedFileName{naming.file, std::string(stem), {}};
    }
    const auto underscore = stem.rfind('_');
    if (underscore == std::string_view::npos || underscore == 0 || underscore + 1 == stem.size()) return std::nullopt;
    return ParsedFileName{naming.file, std::string(stem.substr(0, underscore)), std::string(stem.substr(underscore + 1))};
  }
  return std::nullopt;
}

std::optional<ScenarioFile> binary_file_by_ending(std::string_view name) {
  for (const ScenarioFile file : {ScenarioFile::Trace, ScenarioFile::Table, ScenarioFile::Grid})
    if (name.ends_with(naming_of(file).ending)) return file;
  return std::nullopt;
}
