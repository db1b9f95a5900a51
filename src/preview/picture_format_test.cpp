#include "preview/picture_format.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(PictureFormat, FollowsTheEnding) {
  const std::pair<const char*, std::optional<PictureFormat>> cases[] = {
      {"a.png", PictureFormat::Png}, {"dir/a.PNG", PictureFormat::Png}, {"a.svg", PictureFormat::Svg},
      {"a.Pdf", PictureFormat::Pdf}, {"a.jpg", std::nullopt},           {"png", std::nullopt},
      {"dir.png/a", std::nullopt},   {"a.png.txt", std::nullopt},       {"", std::nullopt},
  };
  for (const auto& [path, format] : cases) EXPECT_EQ(picture_format_of(path), format) << path;
}

}  // namespace
