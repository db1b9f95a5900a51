#pragma once

#include <string>
#include <string_view>

#include <cstddef>
#include <optional>

/// Why a UTF-8 text could not be converted to Windows-1252 whole: where the character that stopped the
/// conversion starts, how many bytes it takes, and what it is.
struct Windows1252Refusal {
  std::size_t offset = 0;
  /// Bytes of the refused character: its UTF-8 length (utf8_character_length), 1 for a stray byte.
  std::size_t length = 1;
  /// The character that has no byte in the code page; none for malformed UTF-8.
  std::optional<char32_t> character;

  /// Why, for people: "malformed UTF-8", or "U+0174 has no byte in Windows-1252".
  std::string reason() const;
};

/// What a conversion to Windows-1252 gives: the text converted up to the first character it refuses
/// (the whole text when there is none), and that refusal.
struct Windows1252Text {
  std::string text;
  std::optional<Windows1252Refusal> refusal;
};

/// Converts UTF-8 text to Windows-1252, one byte per character. ASCII stays as it is, U+00A0 to
/// U+00FF become the byte of the same value, and the 27 characters of the 0x80 to 0x9F row (euro
/// sign, typographic quotes, dashes...) become their bytes. The conversion stops at the first character
/// that is malformed or has no single-byte form: nothing is ever dropped. A caller that wants the rest
/// converts again from after the refused character.
Windows1252Text to_windows1252(std::string_view utf8);

/// The same conversion for a caller that has no use for the place: the text, or std::invalid_argument
/// with the refusal's reason and byte offset.
std::string utf8_to_windows1252(std::string_view utf8);

/// How many bytes the UTF-8 character that starts at `at` takes: the length its first byte announces when
/// that many continuation bytes follow, else 1 (a malformed byte counts as one character). Every place
/// that counts the characters of a UTF-8 line counts them so.
std::size_t utf8_character_length(std::string_view text, std::size_t at);

/// The UTF-8 character that starts at `at` when it is well formed (Unicode's table of well-formed
/// sequences: no overlong form, no surrogate, nothing beyond U+10FFFF, nothing cut off), else none. Its
/// length is then utf8_character_length().
std::optional<char32_t> utf8_character_at(std::string_view text, std::size_t at);

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
