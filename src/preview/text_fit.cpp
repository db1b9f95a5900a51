#include "preview/text_fit.h"

#include <vector>

namespace {

/// Where each of the first `most` characters of a UTF-8 text starts, then where the next one starts (or
/// the text's end): a byte that does not continue a character starts one.
std::vector<std::size_t> character_starts(const std::string& text, std::size_t most) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < text.size() && starts.size() <= most; ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  if (starts.size() <= most) starts.push_back(text.size());
  return starts;
}

}  // namespace

std::string fit_text(const std::string& text, const FontSpec& font, double max_width, const MeasureText& measure) {
  const std::vector<std::size_t> starts = character_starts(text, kLongestShownText);
  const std::size_t characters = starts.size() - 1;  // at most kLongestShownText + 1: then it is cut
  const bool whole = starts.back() == text.size() && characters <= kLongestShownText;
  if (whole && measure(text, font).width <= max_width) return text;

  // The most characters that fit before the ellipsis: a binary search over the prefixes.
  const auto with_ellipsis = [&](std::size_t kept) { return text.substr(0, starts[kept]) + kEllipsis; };
  std::size_t low = 0;                                         // known to fit, unless even the ellipsis alone does not
  std::size_t high = std::min(characters, kLongestShownText);  // known not to fit, or the most allowed
  if (measure(with_ellipsis(high), font).width <= max_width) return with_ellipsis(high);
  while (high - low > 1) {
    const std::size_t middle = low + (high - low) / 2;
    if (measure(with_ellipsis(middle), font).width <= max_width)
      low = middle;
    else
      high = middle;
  }
  const std::string cut = with_ellipsis(low);
  return measure(cut, font).width <= max_width ? cut : std::string();
}
