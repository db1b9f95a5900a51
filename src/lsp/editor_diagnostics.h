#pragma once

#include <vector>

#include "lsp/check_cache.h"
#include "lsp/protocol.h"

/// The diagnostics of a check that concern one source of it, for the editor: the range of the field, the
/// severity, the code (the error's id or the warning's kind), the message as every printer words it, and
/// the related places (in either source, when the editor knows its URI). A diagnostic without a place
/// stands at the start of the file it concerns.
std::vector<protocol::Diagnostic> editor_diagnostics(const CheckedPair& checked, SourceKind source,
                                                     protocol::PositionEncoding encoding);
