#include "lsp/completion.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "compiler/keywords.h"
#include "lsp/outline.h"
#include "lsp/source_view.h"

namespace {

std::optional<KeywordPlace> keyword_place_of(Section section) {
  switch (section) {
    case Section::LineGeneral:
      return KeywordPlace::LineGeneral;
    case Section::LineEntries:
      return KeywordPlace::LineEntries;
    case Section::Service:
      return KeywordPlace::Service;
    case Section::BeforeGeneral:
      return std::nullopt;
  }
  return std::nullopt;
}

std::string snippet(const KeywordInfo& info) {
  std::string text(info.written);
  for (std::size_t n = 0; n < info.fields.size(); ++n)
    text += ", ${" + std::to_string(n + 1) + ":" + std::string(info.fields[n].name) + "}";
  return text;
}

std::string documentation(const KeywordInfo& info) {
  std::string text = std::string(info.summary) + "\n\n";
  for (const KeywordField& field : info.fields)
    text += "- `" + std::string(field.name) + "`: " + std::string(field.meaning) + "\n";
  return text;
}

std::string sort_text(std::size_t order) {
  char sort[16];
  std::snprintf(sort, sizeof sort, "%03zu", order);
  return sort;
}

}  // namespace

protocol::CompletionList completion_at(const SourceFile& file, SourceKind source, protocol::Position cursor,
                                       protocol::PositionEncoding encoding, bool snippets) {
  const SourceView view(file, encoding);
  const auto [line, column] = view.file_place(cursor);
  const std::string_view text = view.file_line(line);
  const std::string_view before = text.substr(0, std::min(text.size(), static_cast<std::size_t>(column - 1)));
  protocol::CompletionList list;
  if (before.find(',') != std::string_view::npos) return list;
  const std::size_t start = std::min(before.size(), before.find_first_not_of(" \t"));
  const protocol::Range replaced{view.file_position(line, static_cast<int>(start) + 1),
                                 view.file_position(line, column)};
  // The section is read from the text up to the line after the cursor's: what comes later cannot change
  // it, and the cursor's line is then not the last.
  const std::string_view head =
      std::string_view(file.text()).substr(0, file.lines().start(line + 2, file.text().size()));
  const auto wanted =
      keyword_place_of(section_at(head, source, SourcePlace{source, line, static_cast<int>(start) + 1}));

  if (!wanted) {
    list.items.push_back({"[generale]",
                          "the general section",
                          "Everything before the field \"[generale]\" is passed over.",
                          sort_text(0),
                          protocol::InsertTextFormat::PlainText,
                          {replaced, "[generale]"}});
    return list;
  }
  std::size_t order = 0;
  for (const KeywordInfo& info : keyword_table()) {
    if (info.place != *wanted) continue;
    list.items.push_back({std::string(info.written),
                          std::string(info.summary),
                          documentation(info),
                          sort_text(order++),
                          snippets ? protocol::InsertTextFormat::Snippet : protocol::InsertTextFormat::PlainText,
                          {replaced, snippets ? snippet(info) : std::string(info.written)}});
  }
  return list;
}
