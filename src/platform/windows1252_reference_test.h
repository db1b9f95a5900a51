#pragma once

#include <string>
#include <string_view>

#include "platform/windows1252.h"

// The system's own conversions of the code page, which the built-in one is compared with (the tests in
// windows1252_reference_test.cpp): the C library's iconv on Linux (windows1252_reference_posix_test.cpp),
// code page 1252 of the Windows system (windows1252_reference_windows_test.cpp). Each gives what the
// program gave when it converted through the system: the text up to the first character refused, the
// refusal's offset and length, and the character when the system could read one.

Windows1252Text system_to_windows1252(std::string_view utf8);
std::string system_windows1252_to_utf8(std::string_view bytes);
