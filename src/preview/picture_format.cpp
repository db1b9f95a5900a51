#include "preview/picture_format.h"

#include <algorithm>
#include <cctype>

std::optional<PictureFormat> picture_format_of(const std::string& path) {
  const auto dot = path.rfind('.');
  if (dot == std::string::npos || path.find('/', dot) != std::string::npos) return std::nullopt;
  std::string ending = path.substr(dot + 1);
  std::transform(ending.begin(), ending.end(), ending.begin(), [](unsigned char c) { return std::tolower(c); });
  if (ending == "png") return PictureFormat::Png;
  if (ending == "svg") return PictureFormat::Svg;
  if (ending == "pdf") return PictureFormat::Pdf;
  return std::nullopt;
}
