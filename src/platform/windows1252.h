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

/// True for a byte that a text is shown with as an escape: a control character other than the tab, and
/// DEL.
bool is_control_byte(unsigned char byte);
/// A byte as its escape: "\\x1B".
std::string escaped_byte(unsigned char byte);

/// A text of the compiler (Windows-1252 bytes, perhaps with control characters from a source) as a
/// terminal, a JSON string or an editor shows it: UTF-8, control characters and tabs as \\xNN.
std::string shown_text(std::string_view windows1252);
