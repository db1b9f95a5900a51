#pragma once

// The 8-bit texts of the table's records (Windows-1252 bytes) as printable text: quoted for people, and
// byte for byte for JSON.

#include <string>
#include <string_view>

/// Appends the character whose number is `byte` (U+0000 to U+00FF) in UTF-8.
void append_byte_character(std::string& out, unsigned char byte);

/// A record text for people: in double quotes; printable ASCII as it is; bytes 0xA0 to 0xFF as the
/// letters they stand for in the 8-bit code page (the same in Latin-1 and Windows-1252); a quote or a
/// backslash escaped; every other byte as \xNN.
std::string quoted_text(std::string_view text);

/// The JSON form of a record text: each byte as the character of the same number, so that accented
/// letters read as themselves and every byte comes back.
std::string text_to_json(std::string_view bytes);
