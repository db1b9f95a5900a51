#include "preview/preview_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

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

/// The text elements of an SVG, in order: each element's attributes and text.
struct SvgText {
  std::string attributes;
  std::string text;
};
std::vector<SvgText> svg_texts(const std::string& svg) {
  std::vector<SvgText> found;
  for (std::size_t at = svg.find("<text "); at != std::string::npos; at = svg.find("<text ", at + 1)) {
    const std::size_t open_end = svg.find('>', at);
    const std::size_t close = svg.find("</text>", open_end);
    if (open_end == std::string::npos || close == std::string::npos) break;
    found.push_back({svg.substr(at + 6, open_end - at - 6), svg.substr(open_end + 1, close - open_end - 1)});
  }
  return found;
}

/// The value of an attribute of an element's attributes, as a number.
double attribute(const std::string& attributes, const std::string& name) {
  const std::size_t at = attributes.find(" " + name + "=\"");
  if (at == std::string::npos && attributes.rfind(name + "=\"", 0) != 0) return -1;
  const std::size_t start = attributes.find('"', at == std::string::npos ? 0 : at) + 1;
  return std::stod(attributes.substr(start, attributes.find('"', start) - start));
}

TEST_F(ScenarioPicture, SvgKeepsItsTextsAsTextElementsWhereTheLayoutPutsThem) {
  const Picture svg = draw_preview(*layout_, PictureFormat::Svg, "title");
  ASSERT_EQ(svg.error, "");
  // No glyph drawn as a path: every text is a text element, one for each label of the layout.
  EXPECT_EQ(svg.bytes.find("glyph"), std::string::npos);
  const std::vector<SvgText> texts = svg_texts(svg.bytes);
  ASSERT_EQ(texts.size(), layout_->labels.size());
  std::vector<std::string> shown;
  for (const SvgText& text : texts) shown.push_back(text.text);
  for (const std::string& name : preview_test::station_names())
    EXPECT_NE(std::find(shown.begin(), shown.end(), name), shown.end()) << name;
  // Each starts at its label's left edge on its baseline and is held to its measured width; the texts
  // of a panel are grouped under the panel's name.
  for (const Panel& panel : layout_->panels)
    for (const std::size_t index : panel.labels) {
      const Label& label = layout_->labels[index];
      const auto found = std::find_if(texts.begin(), texts.end(), [&](const SvgText& text) {
        return text.text == label.text && std::abs(attribute(text.attributes, "x") - label.box.left) < 1e-3 &&
               std::abs(attribute(text.attributes, "y") - label.baseline) < 1e-3;
      });
      ASSERT_NE(found, texts.end()) << label.text;
      EXPECT_NEAR(attribute(found->attributes, "textLength"), label.box.width(), 1e-3) << label.text;
      EXPECT_NEAR(attribute(found->attributes, "font-size"), label.font.size, 1e-3) << label.text;
    }
  for (const char* group : {"<g id=\"title\">", "<g id=\"plan\">", "<g id=\"stations\">", "<g id=\"legend\">"})
    EXPECT_NE(svg.bytes.find(group), std::string::npos) << group;
  EXPECT_NE(svg.bytes.find("xml:space=\"preserve\""), std::string::npos);
}

TEST(PreviewDrawing, SvgTextsHoldMarkupAndControlCharactersSafely) {
  PreviewLayout layout;
  layout.width = 200;
  layout.height = 100;
  layout.labels.push_back(Label{
      "<b>&amp;\"x\"\x01\u00C8", {12, true}, Colour{1, 0, 0, 0.5}, {10, 10, 80, 24}, 21, LabelRole::Title, false});
  Panel panel;
  panel.kind = PanelKind::Title;
  panel.box = {0, 0, 200, 100};
  panel.labels = {0};
  layout.panels.push_back(panel);
  const Picture svg = draw_preview(layout, PictureFormat::Svg, "title");
  ASSERT_EQ(svg.error, "");
  const std::vector<SvgText> texts = svg_texts(svg.bytes);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "&lt;b&gt;&amp;amp;&quot;x&quot;\uFFFD\u00C8");
  EXPECT_EQ(attribute(texts[0].attributes, "x"), 10);
  EXPECT_EQ(attribute(texts[0].attributes, "y"), 21);
  EXPECT_EQ(attribute(texts[0].attributes, "textLength"), 70);
  EXPECT_NE(texts[0].attributes.find("font-weight=\"bold\""), std::string::npos);
  EXPECT_NE(texts[0].attributes.find("fill=\"rgb(255,0,0)\" fill-opacity=\"0.5\""), std::string::npos);
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
