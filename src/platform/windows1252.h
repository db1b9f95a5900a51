#pragma once

#include <string>
#include <string_view>

/// Converts UTF-8 text to Windows-1252, one byte per character. ASCII stays as it is, U+00A0 to
/// U+00FF become the byte of the same value, and the 27 characters of the 0x80 to 0x9F row (euro
/// sign, typographic quotes, dashes...) become their bytes. Malformed UTF-8, or a character with no
/// single-byte form, throws std::invalid_argument naming the byte offset: nothing is ever dropped.
std::string utf8_to_windows1252(std::string_view utf8);

/// Converts Windows-1252 bytes to UTF-8, the reverse of the above. The five bytes the code page leaves
/// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become U+FFFD, the replacement character.
std::string windows1252_to_utf8(std::string_view bytes);
