#pragma once

#include "compiler/source_files.h"
#include "lsp/protocol.h"

/// The completion at a position of a source, from the keyword table alone: the keywords of the section
/// the position lies in (the line description's general section or its entries, or the train service),
/// "[generale]" before that section, each replacing the word typed so far on its line; with `snippets`,
/// each with its fields as a snippet ("pendenza, ${1:position}, ${2:gradient}"), else the keyword alone.
/// None among an entry's values (after a comma on the line). The file's own text is read (UTF-8 or
/// Windows-1252), no further than the position or the end of the general section: nothing is converted or
/// compiled.
protocol::CompletionList completion_at(const SourceFile& file, SourceKind source, protocol::Position cursor,
                                       protocol::PositionEncoding encoding, bool snippets);
