#pragma once

/// True when standard error is a terminal that shows colours given by ANSI escape sequences: a terminal
/// on Linux; on Windows a console, whose handling of those sequences is switched on here.
bool standard_error_shows_colours();
