#pragma once

#include <cstdint>
#include <string_view>

#include "scenario/read_failure.h"

struct RunState;

/// The low 16 bits of a value packed into a 16-bit field; a value that does not fit is noted as a
/// warning at the entry being read.
int16_t cut16(RunState& state, int64_t value, std::string_view what);
/// The low 8 bits of a value packed into a byte; a value outside 0 to 255 is noted likewise.
uint8_t cut8(RunState& state, int64_t value, std::string_view what);
/// Notes a warning when a value read for a byte field lies outside 0 to 255 (it will be cut).
void note_byte_cut(RunState& state, int64_t value, std::string_view what, SourcePlace place);
