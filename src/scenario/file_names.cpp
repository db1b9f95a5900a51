#include "scenario/file_names.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/windows1252.h"

namespace {

struct Naming {
  ScenarioFile file;
  std::string_view ending;
  bool with_train;  // named K_N + ending, else K + ending
  std::string_view role;
};

// Longer endings first: a name is taken by the first ending it has.
constexpr std::array<Naming, 8> kNamings{{
    {ScenarioFile::LineSource, "_linea.txt", false, "line description"},
    {ScenarioFile::ServiceSource, "-.txt", true, "train service"},
    {ScenarioFile::Notes, "_note.txt", true, "notes"},
    {ScenarioFile::SlowdownOrder, "_rallentamenti.txt", true, "slowdown order"},
    {ScenarioFile::TimetableCard, "_scheda_treno.txt", true, "timetable card"},
    {ScenarioFile::Trace, "_linea.dat", false, "plan trace"},
    {ScenarioFile::Table, ".sim", true, "scenario table"},
    {ScenarioFile::Grid, ".dat", true, "track grid"},
}};

const Naming& naming_of(ScenarioFile file) {
  for (const Naming& naming : kNamings)
    if (naming.file == file) return naming;
  return kNamings.front();
}

}  // namespace

std::string_view scenario_file_role(ScenarioFile file) { return naming_of(file).role; }

std::array<ScenarioFile, 3> binary_files() { return {ScenarioFile::Trace, ScenarioFile::Table, ScenarioFile::Grid}; }

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
    return ParsedFileName{naming.file, std::string(stem.substr(0, underscore)),
                          std::string(stem.substr(underscore + 1))};
  }
  return std::nullopt;
}

std::optional<ScenarioFile> binary_file_by_ending(std::string_view name) {
  for (const ScenarioFile file : binary_files())
    if (name.ends_with(naming_of(file).ending)) return file;
  return std::nullopt;
}

std::optional<std::string> character_beyond_windows1252(std::string_view name_part) {
  try {
    utf8_to_windows1252(name_part);
    return std::nullopt;
  } catch (const std::invalid_argument& refusal) {
    // Bytes that are not UTF-8 (a file name of another code page) are kept as they are; only a character
    // that UTF-8 names and the code page lacks is refused. The refusal names it "U+1F682".
    const std::string what = refusal.what();
    const auto code = what.find("U+");
    if (code == std::string::npos) return std::nullopt;
    return what.substr(code, what.find(' ', code) - code);
  }
}

std::string name_as_stored(std::string_view name_part) {
  try {
    return utf8_to_windows1252(name_part);
  } catch (const std::invalid_argument&) {
    return std::string(name_part);
  }
}

Status check_names(std::string_view line_key, std::string_view train_number) {
  const auto refused = [](std::string why) { return Status::invalid_argument(std::move(why)); };
  constexpr std::size_t kLongestFileName = 255;
  for (const auto& [what, part] : {std::pair{"line key", line_key}, std::pair{"train number", train_number}}) {
    if (part.empty()) return refused(std::string("the ") + what + " is empty");
    if (part.find_first_of(std::string_view("/\\\0", 3)) != std::string_view::npos)
      return refused(std::string("the ") + what +
                     " holds a path separator or a NUL byte: it would leave the directory");
  }
  for (const auto& [what, part] : {std::pair{"line key", line_key}, std::pair{"train number", train_number}}) {
    const std::optional<std::string> beyond = character_beyond_windows1252(part);
    if (beyond)
      return refused(std::string("the ") + what + " \"" + std::string(part.substr(0, 60)) + "\" holds " + *beyond +
                     ", which Windows-1252 cannot hold: the scenario's table and the driver's documents keep their "
                     "text in that code page");
  }
  if (train_number.find('_') != std::string_view::npos)
    return refused("the train number holds \"_\": the file names would not give it back");
  std::size_t longest = 0;
  std::vector<std::string> names;
  for (const Naming& naming : kNamings) {
    names.push_back(scenario_file_name(naming.file, line_key, train_number));
    longest = std::max(longest, names.back().size());
  }
  std::sort(names.begin(), names.end());
  if (const auto twice = std::adjacent_find(names.begin(), names.end()); twice != names.end())
    return refused("two files of the scenario would both be named " + *twice);
  if (longest > kLongestFileName)
    return refused("the line key and the train number make a file name of " + std::to_string(longest) +
                   " bytes, more than the " + std::to_string(kLongestFileName) + " a file name may have");
  return {};
}
