#pragma once

#include <optional>
#include <string>

/// The formats a picture can be written in, chosen by the file's ending.
enum class PictureFormat { Png, Svg, Pdf };

/// ".png", ".svg" or ".pdf" in any case; nothing for another ending.
std::optional<PictureFormat> picture_format_of(const std::string& path);
