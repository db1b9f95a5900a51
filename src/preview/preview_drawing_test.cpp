#include "preview/preview_drawing.h"

#include <gtest/gtest.h>

#include "preview/preview_test_support.h"
#include "scenario/coding.h"

namespace {

/// Leaves nothing of cairo's and fontconfig's caches behind for the leak checker.
class DrawingResources : public ::testing::Environment {
 public:
  void TearDown() override { release_drawing_resources(); }
};
const auto* const kDrawingResources = ::testing::AddGlobalTestEnvironment(new DrawingResources);

/// Width and height from a PNG's IHDR chunk (big-endian, right after the signature and chunk header).
std::pair<uint32_t, uint32_t> png_size(const std::string& bytes) {
  const auto big_endian = [&](std::size_t at) {
    uint32_t value = 0;
    for (std::size_t k = 0; k < 4; ++k) value = value << 8 | static_cast<unsigned char>(bytes.at(at + k));
    return value;
  };
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  return {big_endian(16), big_endian(20)};
}

TEST(PreviewDrawing, FormatFollowsTheEnding) {
  const std::pair<const char*, std::optional<PictureFormat>> cases[] = {
      {"a.png", PictureFormat::Png},  {"dir/a.PNG", PictureFormat::Png}, {"a.svg", PictureFormat::Svg},
      {"a.Pdf", PictureFormat::Pdf},  {"a.jpg", std::nullopt},           {"png", std::nullopt},
      {"dir.png/a", std::nullopt},    {"a.png.txt", std::nullopt},       {"", std::nullopt},
  };
  for (const auto& [path, format] : cases) EXPECT_EQ(picture_format_of(path), format) << path;
}

TEST(PreviewDrawing, CairoMeasuresLongerAndBolderTextsWider) {
  const MeasureText measure = cairo_text_measure();
  const TextSize short_text = measure("ACILIA", {11, false});
  const TextSize long_text = measure("CASAL BERNOCCHI", {11, false});
  const TextSize bold = measure("CASAL BERNOCCHI", {11, true});
  const TextSize large = measure("CASAL BERNOCCHI", {22, false});
  EXPECT_GT(short_text.width, 0);
  EXPECT_GT(long_text.width, short_text.width);
  EXPECT_GT(bold.width, long_text.width);
  EXPECT_NEAR(large.width, 2 * long_text.width, 0.05 * long_text.width);
  EXPECT_GT(long_text.ascent, 0);
  EXPECT_GT(long_text.descent, 0);
  EXPECT_EQ(measure("", {11, false}).width, 0);
}

class ScenarioPicture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    layout_ = new PreviewLayout(layout_preview(preview_test::compiled_scenario(), 1200, 750, cairo_text_measure()));
  }
  static void TearDownTestSuite() { delete layout_; }
  static inline PreviewLayout* layout_ = nullptr;
};

TEST_F(ScenarioPicture, PngHasTheLayoutsSize) {
  const Picture picture = draw_preview(*layout_, PictureFormat::Png, "title");
  ASSERT_EQ(picture.error, "");
  EXPECT_EQ(png_size(picture.bytes), std::make_pair(1200u, 750u));
}

TEST_F(ScenarioPicture, SvgAndPdfAreMade) {
  const Picture svg = draw_preview(*layout_, PictureFormat::Svg, "title");
  ASSERT_EQ(svg.error, "");
  EXPECT_EQ(svg.bytes.substr(0, 5), "<?xml");
  EXPECT_NE(svg.bytes.find("<svg"), std::string::npos);
  EXPECT_NE(svg.bytes.find("width=\"1200pt\" height=\"750pt\""), std::string::npos);
  EXPECT_EQ(svg.bytes.substr(svg.bytes.find_last_not_of(" \n") - 5, 6), "</svg>");

  const Picture pdf = draw_preview(*layout_, PictureFormat::Pdf, "Lesca-Varo, train 148");
  ASSERT_EQ(pdf.error, "");
  EXPECT_EQ(pdf.bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.bytes.find("%%EOF"), std::string::npos);
  EXPECT_NE(pdf.bytes.find("/MediaBox [ 0 0 1200 750 ]"), std::string::npos);
}

TEST(PreviewDrawing, APictureTooLargeForCairoIsAnErrorWithoutBytes) {
  PreviewLayout layout;
  layout.width = 100000;  // beyond the largest image surface
  layout.height = 100000;
  const Picture picture = draw_preview(layout, PictureFormat::Png, "title");
  EXPECT_NE(picture.error, "");
  EXPECT_TRUE(picture.bytes.empty());
}

}  // namespace
