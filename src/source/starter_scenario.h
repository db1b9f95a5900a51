#pragma once

#include "source/line_table.h"

// A small scenario for an author to start from: a 5 km line with three stations, two curves, a few
// gradients, a mountain stretch, two speed boards, an information board, two signals and a slowdown.
// Every entry is preceded by a comment line that says what its fields are; the readers pass over each
// comment without a note, and the whole compiles without an error or a warning.

/// The starter line description.
LineTable starter_line_lines();
/// The starter train service.
LineTable starter_service_lines();
