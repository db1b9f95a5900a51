#pragma once

#include <vector>

#include <nlohmann/json.hpp>

#include "compiler/source_files.h"
#include "scenario/diagnostics.h"

/// The diagnostics of one compilation as a SARIF 2.1.0 log: one run of the tool "scenario", whose rules
/// are every error code (with its meaning from the error table) and every kind of warning, and one
/// result per diagnostic with its physical location and related locations. Columns count characters
/// (columnKind "unicodeCodePoints"); a file's location is its name as a URI reference, percent-encoded
/// where a URI cannot hold its bytes. Each result's message is the diagnostic's text as every printer
/// shows it (diagnostic_text). What the sink only counted is told in the run's properties.
nlohmann::ordered_json sarif_log(const Diagnostics& diagnostics, const Sources& sources);
