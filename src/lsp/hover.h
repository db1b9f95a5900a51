#pragma once

#include <string>
#include <string_view>

#include "lsp/outline.h"
#include "scenario/run_state.h"

/// What an entry compiles to, as Markdown (UTF-8) for the editor: its keyword with what it does, its
/// values by field name, and from the compiled scenario the cells it takes with their metres and
/// kilometric progressive, what they store in the author's units (km/h, per mille, seconds as a time),
/// and, for a cell that another entry took, what holds it and where that entry stands. `state` is the
/// compilation of the entry's pair; without one, `why_not` says why there is none.
std::string hover_markdown(const OutlineEntry& entry, const RunState* state, std::string_view why_not);
