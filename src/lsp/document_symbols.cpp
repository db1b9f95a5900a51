#include "lsp/document_symbols.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "lsp/outline.h"
#include "lsp/source_view.h"
#include "model/boards.h"
#include "model/trimmed.h"
#include "platform/windows1252.h"

namespace {

std::string number_text(const std::vector<OutlineValue>& values, std::size_t index) {
  return index < values.size() && values[index].number ? std::to_string(*values[index].number) : "?";
}

/// A symbol for an entry of one of the kinds the outline shows.
struct EntrySymbol {
  std::string name;
  std::string detail;
  protocol::SymbolKind kind = protocol::SymbolKind::Namespace;
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
          std::snprintf(time, sizeof time, ", %d:%02d:%02d", *values[13].number, *values[14].number,
                        *values[15].number);
          detail += time;
        }
        return EntrySymbol{name.empty() ? "stazione" : name, detail, protocol::SymbolKind::Class,
                           named ? values.back().place : entry.place};
      }
      case Keyword::Signal:
        return EntrySymbol{"segnale " + at, {}, protocol::SymbolKind::Event, entry.place};
      case Keyword::Slowdown:
        return EntrySymbol{"rallentamento " + at,
                           number_text(values, 1) + " km/h over " + number_text(values, 2) + " m",
                           protocol::SymbolKind::Operator, entry.place};
      case Keyword::SpeedBoard:
        return EntrySymbol{"indicatori_vmax " + at, number_text(values, 1) + " km/h", protocol::SymbolKind::Constant,
                           entry.place};
      case Keyword::InfoBoard: {
        const bool written = values.size() == 2;
        const std::string caption = written ? shown_text(board_caption(values[1].text)) : std::string();
        return EntrySymbol{caption.empty() ? "cartello_indicatore " + at : caption, "cartello_indicatore, " + at,
                           protocol::SymbolKind::String, written ? values[1].place : entry.place};
      }
      default:
        break;
    }
  }
  return std::nullopt;
}

}  // namespace

std::vector<protocol::DocumentSymbol> document_symbols(const SourceFile& file, SourceKind source,
                                                       protocol::PositionEncoding encoding) {
  const SourceView view(file, encoding);
  const Outline outline = read_outline(
      file.compiled(), source,
      {.until = std::nullopt, .keep = [](const OutlineEntry& entry) { return entry_symbol(entry).has_value(); }});
  std::vector<protocol::DocumentSymbol> symbols;
  std::size_t next_entry = 0;
  for (std::size_t h = 0; h < outline.headers.size(); ++h) {
    const OutlineHeader& header = outline.headers[h];
    const SourcePlace* following = h + 1 < outline.headers.size() ? &outline.headers[h + 1].place : nullptr;
    SourcePlace end = header.end;
    protocol::DocumentSymbol section;
    const std::string name = trimmed(shown_text(header.text));
    section.name = name.empty() ? "[ ]" : name;
    section.kind = protocol::SymbolKind::Namespace;
    for (; next_entry < outline.entries.size(); ++next_entry) {
      const OutlineEntry& entry = outline.entries[next_entry];
      if (following && !place_before(entry.place, *following)) break;
      if (place_before(entry.place, header.place)) continue;
      const auto symbol = entry_symbol(entry);
      if (!symbol) continue;
      if (place_before(end, entry.end)) end = entry.end;
      // The selection lies inside the range: the entry's name field or its keyword.
      section.children.push_back({symbol->name,
                                  symbol->detail,
                                  symbol->kind,
                                  view.range(entry.place, entry.end),
                                  view.field_range(symbol->selection),
                                  {}});
    }
    section.range = view.range(header.place, end);
    section.selectionRange = view.field_range(header.place);
    symbols.push_back(std::move(section));
  }
  return symbols;
}
