#pragma once

#include <string_view>

#include "scenario/source_place.h"

struct RunState;

/// Warns of what makes a source's bytes no text the format reads as meant: a NUL byte (not a text file),
/// and, once per line, bytes that are not Windows-1252 text: a UTF-8 sequence (shown as the simulator
/// would show it), one of the five bytes the code page leaves undefined, or a control byte.
void check_source_text(RunState& state, std::string_view text, SourceKind source);
