#pragma once

#include <string>

/// The message of an error report: " Errore n. " immediately followed by `a`.
std::string errore_message(const std::string& a);

/// Shows the error message (box, or standard error without a display) and ends the program with a
/// non-zero exit status. Never returns.
[[noreturn]] void errore(const std::string& a);
