#pragma once

#include <string>
#include <string_view>

#include "scenario/source_place.h"

/// What a field that matched no keyword of `source` was probably meant to be, for the note about it:
/// "it is an entry of the train service (K_N_treno.txt), not of the line description" when it holds a
/// keyword of the other source, "did you mean \"pendenza\"?" when it is within a few letters of a
/// keyword of this source, or nothing. Cost bounded by the keyword table: fields longer than any keyword
/// by more than the distance allowed are not measured.
std::string keyword_suggestion(std::string_view field, SourceKind source);

/// The edit distance (insertions, deletions, substitutions and swaps of two neighbours) between two
/// short texts, ASCII letters compared in any case.
std::size_t keyword_distance(std::string_view a, std::string_view b);
