#pragma once

// What the editor offers while an author writes: the keywords that may stand where the cursor is, and
// the outline of a source as symbols.

#include <string>

#include <nlohmann/json.hpp>

#include "lsp/outline.h"
#include "lsp/source_view.h"

/// The completion items at a position: the keywords of the section it lies in (the line description's
/// general section or its entries, or the train service), "[generale]" before that section, each with
/// its fields as a snippet ("pendenza, ${1:position}, ${2:gradient}") when the editor takes snippets,
/// replacing the field typed so far. None inside an entry's values (after a comma on the line).
nlohmann::json completion_items(const Outline& outline, const SourceView& view, TextPosition cursor, bool snippets);

/// The document symbols of a source: its section headers, and in them its stations (by name), signals,
/// slowdowns and boards. Hierarchical (DocumentSymbol, the entries as children of their section) or flat
/// (SymbolInformation with `uri` and the section as container).
nlohmann::json document_symbols(const Outline& outline, const SourceView& view, bool hierarchical,
                                const std::string& uri);
