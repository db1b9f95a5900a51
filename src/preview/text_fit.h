#pragma once

#include <string>

#include "preview/picture.h"

/// The ellipsis that stands for what a cut text leaves out.
inline constexpr const char* kEllipsis = "\u2026";

/// A UTF-8 text cut to at most `max_width` in `font`, its end replaced by the ellipsis; the text as it
/// is when it fits, and an empty text when not even the ellipsis fits. Cuts only between characters,
/// and measures O(log n) prefixes of a text of n characters (at most its first kLongestShownText).
std::string fit_text(const std::string& text, const FontSpec& font, double max_width, const MeasureText& measure);

/// No text of the picture shows more characters than this, however wide the page.
inline constexpr std::size_t kLongestShownText = 400;
