#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "compiler/source_files.h"
#include "scenario/diagnostics.h"

// Diagnostics for tools. Places are in the files (line and column 1-based; a column counts the
// characters of its line before it, plus one); a file's name is shown_name's, valid UTF-8 whatever its
// bytes.

/// One diagnostic as a JSON object: severity ("error" or "warning"), code ("E16", or the warning's kind
/// name such as "not-a-keyword"), file, line, column, position (metres), cell, message, detail, and
/// related places [{file, line, column, message}]; what a diagnostic lacks is null.
nlohmann::ordered_json diagnostic_json(const Diagnostic& diagnostic, const Sources& sources);
