#include "app/explain_code.h"

#include <charconv>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app/exit_status.h"
#include "compiler/error_explanations.h"
#include "scenario/diagnostics.h"
#include "scenario/error_codes.h"
#include "scenario/file_names.h"

namespace {

/// An example's lines are shown whole up to this many; a longer one shows its first and last lines.
constexpr std::size_t kLongestExample = 12;
constexpr std::size_t kFirstLinesShown = 5;
constexpr std::size_t kLastLinesShown = 2;
/// Explanations and fixes are wrapped to lines of at most this many characters (a longer word stands alone).
constexpr std::size_t kTextWidth = 78;

std::optional<int32_t> parse_code(std::string_view text) {
  if (!text.empty() && (text.front() == 'E' || text.front() == 'e')) text.remove_prefix(1);
  int32_t code = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), code);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return code;
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

/// `text` as lines of at most kTextWidth characters, broken at blanks, each ended by "\n".
std::string wrapped(std::string_view text) {
  std::string result;
  std::size_t line_length = 0;
  while (!text.empty()) {
    const std::size_t blank = text.find(' ');
    const std::string_view word = text.substr(0, blank);
    text = blank == std::string_view::npos ? std::string_view{} : text.substr(blank + 1);
    if (word.empty()) continue;
    if (line_length > 0 && line_length + 1 + word.size() > kTextWidth) {
      result += '\n';
      line_length = 0;
    } else if (line_length > 0) {
      result += ' ';
      ++line_length;
    }
    result += word;
    line_length += word.size();
  }
  return result + "\n";
}

/// A source of the example, named and indented; a long one is cut in its middle.
void print_source(std::ostream& out, const std::string& name, const std::optional<std::string>& text) {
  if (!text) {
    out << "  " << name << ": no such file\n";
    return;
  }
  out << "  " << name << ":\n";
  const std::vector<std::string_view> lines = lines_of(*text);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (lines.size() > kLongestExample && n == kFirstLinesShown) {
      const std::size_t left_out = lines.size() - kFirstLinesShown - kLastLinesShown;
      out << "    ... (" << left_out << " more lines of the same kind)\n";
      n = lines.size() - kLastLinesShown - 1;
      continue;
    }
    out << "    " << lines[n] << "\n";
  }
}

}  // namespace

int explain_error_code(std::string_view code, std::ostream& out, std::ostream& err) {
  for (const WarningKind kind : warning_kinds()) {
    if (warning_kind_name(kind) != code) continue;
    std::string heading(warning_kind_name(kind));
    heading.append(" (a warning): ").append(warning_kind_description(kind));
    out << wrapped(heading) << "\n"
        << wrapped("A warning stops nothing: compile writes the files and prints it, scenario check lists each "
                   "one at its place, and check --werror makes a warning fail the check. compile -w leaves "
                   "the warnings out.");
    return kExitSuccess;
  }
  const std::optional<int32_t> number = parse_code(code);
  const ErrorExplanation* explanation = number ? error_explanation(*number) : nullptr;
  if (explanation == nullptr) {
    if (code.empty())
      err << "scenario: error: --explain: the error code is empty; the codes are";
    else
      err << "scenario: error: --explain: unknown error code \"" << code << "\"; the codes are";
    for (const ErrorCodeInfo& info : error_code_table()) err << " E" << info.code;
    err << "; the warning kinds are";
    for (const WarningKind kind : warning_kinds()) err << " " << warning_kind_name(kind);
    err << "\n";
    return kExitUsage;
  }
  std::string heading = "E";
  heading.append(std::to_string(explanation->code)).append(": ").append(error_meaning(explanation->code));
  out << wrapped(heading) << "\n" << wrapped(explanation->explanation) << "\nExample:\n";
  print_source(out, line_source_name(kExampleLineKey), explanation->line);
  print_source(out, service_source_name(kExampleLineKey, kExampleTrain), explanation->service);
  std::string fix = "Fix: ";
  fix.append(explanation->fix);
  out << "\n" << wrapped(fix);
  return kExitSuccess;
}
