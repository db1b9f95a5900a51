#pragma once

#include <vector>

#include "compiler/source_files.h"
#include "lsp/protocol.h"

/// The symbols of a source: its section headers, and in each the stations (by name), signals, slowdowns
/// and boards it holds. `file` must be converted (make_source): its compiled text is read. Only the entries
/// that make a symbol are kept while it is read.
std::vector<protocol::DocumentSymbol> document_symbols(const SourceFile& file, SourceKind source,
                                                       protocol::PositionEncoding encoding);
