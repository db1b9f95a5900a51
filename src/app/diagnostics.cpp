#include "app/diagnostics.h"

#include "platform/files.h"
#include "platform/windows1252.h"

namespace {

/// Lines longer than this many characters are quoted as a window around the caret.
constexpr std::size_t kLongestQuoted = 160;
constexpr std::size_t kWindowBefore = 60;
constexpr std::size_t kWindowAfter = 60;

constexpr const char* kBold = "\x1b[1m";
constexpr const char* kRed = "\x1b[1;31m";
constexpr const char* kMagenta = "\x1b[1;35m";
constexpr const char* kCyan = "\x1b[1;36m";
constexpr const char* kGreen = "\x1b[1;32m";
constexpr const char* kReset = "\x1b[0m";

/// One character of a source line as shown, and how many columns it takes on the screen (a tab keeps
/// its place: the caret line copies it).
struct ShownCharacter {
  std::string text;
  std::size_t width;
};

/// The characters of a line as shown, each with the byte offset where it starts in the file's line.
std::vector<std::pair<std::size_t, ShownCharacter>> shown_line(std::string_view line, InputEncoding encoding) {
  std::vector<std::pair<std::size_t, ShownCharacter>> out;
  for (std::size_t k = 0; k < line.size();) {
    const auto c = static_cast<unsigned char>(line[k]);
    if (c == '\t') {
      out.push_back({k, {"\t", 1}});
      ++k;
    } else if (is_control_byte(c)) {
      out.push_back({k, {escaped_byte(c), 4}});
      ++k;
    } else if (c < 0x80) {
      out.push_back({k, {std::string(1, static_cast<char>(c)), 1}});
      ++k;
    } else if (encoding == InputEncoding::Windows1252) {
      out.push_back({k, {windows1252_to_utf8(line.substr(k, 1)), 1}});
      ++k;
    } else {
      // A UTF-8 file: a well-formed character as it is, any other byte escaped.
      std::size_t length = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
      for (std::size_t n = 1; n < length; ++n)
        if (k + n >= line.size() || (static_cast<unsigned char>(line[k + n]) & 0xC0) != 0x80) length = 0;
      if (length == 0) {
        out.push_back({k, {escaped_byte(c), 4}});
        ++k;
      } else {
        out.push_back({k, {std::string(line.substr(k, length)), 1}});
        k += length;
      }
    }
  }
  return out;
}

}  // namespace

DiagnosticPrinter::DiagnosticPrinter(const Sources& sources, bool colour) : sources_(sources), colour_(colour) {}

std::string DiagnosticPrinter::quote(const SourcePlace& place) const {
  const SourceFile& file = sources_.of(place.source);
  const auto characters = shown_line(file.line(place.line), file.encoding);
  const auto column = static_cast<std::size_t>(place.column > 0 ? place.column - 1 : 0);
  // The character the caret stands under: the first that starts at or after the column.
  std::size_t caret = characters.size();
  for (std::size_t n = 0; n < characters.size(); ++n) {
    if (characters[n].first >= column) {
      caret = n;
      break;
    }
  }
  std::size_t from = 0;
  std::size_t to = characters.size();
  if (characters.size() > kLongestQuoted) {
    from = caret > kWindowBefore ? caret - kWindowBefore : 0;
    to = std::min(characters.size(), caret + kWindowAfter);
  }
  std::string text = from > 0 ? "..." : "";
  std::string marks(text.size(), ' ');
  for (std::size_t n = from; n < to; ++n) {
    text += characters[n].second.text;
    if (n < caret)
      marks += characters[n].second.text == "\t" ? std::string("\t") : std::string(characters[n].second.width, ' ');
  }
  if (to < characters.size()) text += "...";
  return text + "\n" + marks + (colour_ ? std::string(kGreen) + "^" + kReset : "^") + "\n";
}

std::string DiagnosticPrinter::located(const std::string& where, const char* colour, const std::string& label,
                                       const std::string& text) const {
  if (!colour_) return where + ": " + label + ": " + text + "\n";
  return std::string(kBold) + where + ":" + kReset + " " + colour + label + ":" + kReset + " " + text + "\n";
}

std::string DiagnosticPrinter::format(const Diagnostic& compiled) const {
  const Diagnostic diagnostic = in_files(compiled, sources_);
  const bool error = diagnostic.severity == Severity::Error;
  std::string label =
      error ? (diagnostic.code != 0 ? "error E" + std::to_string(diagnostic.code) : "error") : "warning";
  const std::string text = diagnostic_text(diagnostic);
  const char* colour = error ? kRed : kMagenta;
  if (!diagnostic.place) return located(shown_name(sources_.of(file_of(diagnostic)).name), colour, label, text);
  const SourcePlace& place = *diagnostic.place;
  const auto where = [this](const SourcePlace& p) {
    const SourceFile& file = sources_.of(p.source);
    return shown_name(file.name) + ":" + std::to_string(p.line) + ":" + std::to_string(file.character_column(p));
  };
  std::string out = located(where(place), colour, label, text) + quote(place);
  for (const RelatedPlace& related : diagnostic.related)
    out += located(where(related.place), kCyan, "note", shown_text(related.message)) + quote(related.place);
  return out;
}

std::string DiagnosticPrinter::format(const Omitted& omitted) const {
  if (omitted.severity == Severity::Error)
    return "scenario: ... and " + std::to_string(omitted.count) + " more errors E" + std::to_string(omitted.code) +
           " not shown\n";
  return "scenario: ... and " + std::to_string(omitted.count) + " more warnings of this kind (" +
         std::string(warning_kind_name(omitted.warning)) + ") not shown\n";
}
