#include "lsp/editing.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "model/boards.h"
#include "model/trimmed.h"
#include "platform/windows1252.h"

namespace {

// The protocol's kinds of completion items and of symbols.
constexpr int kCompletionKeyword = 14;
constexpr int kSnippetFormat = 2;
constexpr int kPlainTextFormat = 1;
constexpr int kSymbolNamespace = 3;
constexpr int kSymbolClass = 5;
constexpr int kSymbolConstant = 14;
constexpr int kSymbolString = 15;
constexpr int kSymbolEvent = 24;
constexpr int kSymbolOperator = 25;

nlohmann::json position_json(const TextPosition& position) {
  return {{"line", position.line}, {"character", position.character}};
}

nlohmann::json range_json(const TextRange& range) {
  return {{"start", position_json(range.start)}, {"end", position_json(range.end)}};
}

std::optional<KeywordPlace> keyword_place_of(Section section) {
  switch (section) {
    case Section::LineGeneral: return KeywordPlace::LineGeneral;
    case Section::LineEntries: return KeywordPlace::LineEntries;
    case Section::Service: return KeywordPlace::Service;
    case Section::BeforeGeneral: return std::nullopt;
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

}  // namespace

nlohmann::json completion_items(const Outline& outline, const SourceView& view, TextPosition cursor, bool snippets) {
  const auto [line, column] = view.file_place(cursor);
  const std::string_view text = view.file_line(line);
  const std::string_view before = text.substr(0, std::min(text.size(), static_cast<std::size_t>(column - 1)));
  nlohmann::json items = nlohmann::json::array();
  if (before.find(',') != std::string_view::npos) return items;
  const std::size_t start = std::min(before.size(), before.find_first_not_of(" \t"));
  const TextRange replaced{view.file_position(line, static_cast<int>(start) + 1), view.file_position(line, column)};
  const SourcePlace place = view.compiled_place(replaced.start, outline.source);
  const auto wanted = keyword_place_of(outline.section_at(place));

  const auto item = [&](std::string_view label, const std::string& detail, const std::string& doc,
                        const std::string& insert, bool is_snippet, std::size_t order) {
    char sort[16];
    std::snprintf(sort, sizeof sort, "%03zu", order);
    return nlohmann::json{{"label", std::string(label)},
                          {"kind", kCompletionKeyword},
                          {"detail", detail},
                          {"documentation", {{"kind", "markdown"}, {"value", doc}}},
                          {"filterText", std::string(label)},
                          {"sortText", sort},
                          {"insertTextFormat", is_snippet ? kSnippetFormat : kPlainTextFormat},
                          {"textEdit", {{"range", range_json(replaced)}, {"newText", insert}}}};
  };
  if (!wanted) {
    items.push_back(item("[generale]", "the general section",
                         "Everything before the field \"[generale]\" is passed over.", "[generale]", false, 0));
    return items;
  }
  std::size_t order = 0;
  for (const KeywordInfo& info : keyword_table()) {
    if (info.place != *wanted) continue;
    items.push_back(item(info.written, std::string(info.summary), documentation(info),
                         snippets ? snippet(info) : std::string(info.written), snippets, order++));
  }
  return items;
}

namespace {

std::string number_text(const std::vector<OutlineValue>& values, std::size_t index) {
  return index < values.size() && values[index].number ? std::to_string(*values[index].number) : "?";
}

/// A symbol for an entry of one of the kinds the outline shows.
struct EntrySymbol {
  std::string name;
  std::string detail;
  int kind = 0;
  SourcePlace selection;
};

std::optional<EntrySymbol> entry_symbol(const OutlineEntry& entry) {
  for (const Keyword keyword : entry.keywords) {
    const std::vector<OutlineValue> values = entry.values_of(keyword);
    const std::string at = number_text(values, 0) + " m";
    switch (keyword) {
      case Keyword::Station: {
        const bool named = values.size() == keyword_info(keyword).fields.size();
        std::string name = named ? trimmed(shown_text(values.back().text)) : std::string();
        std::string detail = "stazione, " + at;
        if (values.size() >= 16 && values[13].number && values[14].number && values[15].number) {
          char time[48];
          std::snprintf(time, sizeof time, ", %d:%02d:%02d", *values[13].number, *values[14].number, *values[15].number);
          detail += time;
        }
        return EntrySymbol{name.empty() ? "stazione" : name, detail, kSymbolClass,
                           named ? values.back().place : entry.place};
      }
      case Keyword::Signal: return EntrySymbol{"segnale " + at, {}, kSymbolEvent, entry.place};
      case Keyword::Slowdown:
        return EntrySymbol{"rallentamento " + at, number_text(values, 1) + " km/h over " + number_text(values, 2) + " m",
                           kSymbolOperator, entry.place};
      case Keyword::SpeedBoard:
        return EntrySymbol{"indicatori_vmax " + at, number_text(values, 1) + " km/h", kSymbolConstant, entry.place};
      case Keyword::InfoBoard: {
        const bool written = values.size() == 2;
        const std::string caption = written ? shown_text(board_caption(values[1].text)) : std::string();
        return EntrySymbol{caption.empty() ? "cartello_indicatore " + at : caption, "cartello_indicatore, " + at,
                           kSymbolString, written ? values[1].place : entry.place};
      }
      default: break;
    }
  }
  return std::nullopt;
}

nlohmann::json symbol_json(const std::string& name, const std::string& detail, int kind, const TextRange& range,
                           const TextRange& selection) {
  nlohmann::json symbol{{"name", name}, {"kind", kind}, {"range", range_json(range)},
                        {"selectionRange", range_json(selection)}};
  if (!detail.empty()) symbol["detail"] = detail;
  return symbol;
}

}  // namespace

nlohmann::json document_symbols(const Outline& outline, const SourceView& view, bool hierarchical,
                                const std::string& uri) {
  nlohmann::json symbols = nlohmann::json::array();
  std::size_t next_entry = 0;
  for (std::size_t h = 0; h < outline.headers.size(); ++h) {
    const OutlineHeader& header = outline.headers[h];
    const SourcePlace* following = h + 1 < outline.headers.size() ? &outline.headers[h + 1].place : nullptr;
    SourcePlace end = header.end;
    const std::size_t header_index = symbols.size();
    nlohmann::json children = nlohmann::json::array();
    const std::string container = shown_text(header.text);
    for (; next_entry < outline.entries.size(); ++next_entry) {
      const OutlineEntry& entry = outline.entries[next_entry];
      if (following && !place_before(entry.place, *following)) break;
      if (place_before(entry.place, header.place)) continue;
      const auto symbol = entry_symbol(entry);
      if (!symbol) continue;
      if (place_before(end, entry.end)) end = entry.end;
      // The selection lies inside the range: the entry's name field or its keyword.
      const TextRange range = view.range(entry.place, entry.end);
      const TextRange selection = view.field_range(symbol->selection);
      nlohmann::json item = symbol_json(symbol->name, symbol->detail, symbol->kind, range, selection);
      if (hierarchical) {
        children.push_back(std::move(item));
      } else {
        symbols.push_back({{"name", symbol->name},
                           {"kind", symbol->kind},
                           {"location", {{"uri", uri}, {"range", range_json(range)}}},
                           {"containerName", container}});
      }
    }
    const std::string name = trimmed(container).empty() ? "[ ]" : trimmed(container);
    if (hierarchical) {
      nlohmann::json item = symbol_json(name, {}, kSymbolNamespace, view.range(header.place, end), view.field_range(header.place));
      item["children"] = std::move(children);
      symbols.push_back(std::move(item));
    } else {
      symbols.insert(symbols.begin() + static_cast<std::ptrdiff_t>(header_index),
                     nlohmann::json{{"name", name},
                                    {"kind", kSymbolNamespace},
                                    {"location", {{"uri", uri}, {"range", range_json(view.range(header.place, end))}}}});
    }
  }
  return symbols;
}
