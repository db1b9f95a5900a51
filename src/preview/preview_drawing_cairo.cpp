#include "preview/preview_drawing.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>

#include "preview/preview_files.h"

namespace {

constexpr const char* kFontFamily = "sans-serif";

/// Metrics without hinting, so that a text measures the same on every kind of surface.
void set_font(cairo_t* cr, const FontSpec& font) {
  cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                         font.bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
  cairo_set_font_size(cr, font.size);
}

void use_unhinted_metrics(cairo_t* cr) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

struct Context {
  cairo_surface_t* surface = nullptr;
  cairo_t* cr = nullptr;
  ~Context() {
    if (cr) cairo_destroy(cr);
    if (surface) cairo_surface_destroy(surface);
  }
};

cairo_status_t append_bytes(void* closure, const unsigned char* data, unsigned int length) {
  static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
  return CAIRO_STATUS_SUCCESS;
}

void set_colour(cairo_t* cr, const Colour& c) { cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha); }

void set_line(cairo_t* cr, const LineStyle& style) {
  set_colour(cr, style.colour);
  cairo_set_line_width(cr, style.width);
  cairo_set_dash(cr, style.dashes.data(), static_cast<int>(style.dashes.size()), 0);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void trace_path(cairo_t* cr, const std::vector<Point>& points) {
  cairo_new_path(cr);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i == 0)
      cairo_move_to(cr, points[i].x, points[i].y);
    else
      cairo_line_to(cr, points[i].x, points[i].y);
  }
}

void paint(cairo_t* cr, const Fill& fill) {
  if (fill.outline.size() < 3) return;
  trace_path(cr, fill.outline);
  cairo_close_path(cr);
  set_colour(cr, fill.colour);
  cairo_fill_preserve(cr);
  if (fill.border) {
    set_line(cr, *fill.border);
    cairo_stroke(cr);
  }
  cairo_new_path(cr);
}

void paint(cairo_t* cr, const Stroke& stroke) {
  if (stroke.points.size() < 2 || stroke.style.width <= 0) return;
  trace_path(cr, stroke.points);
  set_line(cr, stroke.style);
  cairo_stroke(cr);
}

void paint(cairo_t* cr, const Mark& mark) {
  const double r = mark.size / 2;
  const double x = mark.at.x;
  const double y = mark.at.y;
  cairo_new_path(cr);
  switch (mark.shape) {
    case MarkShape::Square:
      cairo_rectangle(cr, x - r, y - r, 2 * r, 2 * r);
      break;
    case MarkShape::Circle:
      cairo_arc(cr, x, y, r, 0, 2 * M_PI);
      break;
    case MarkShape::Diamond:
      cairo_move_to(cr, x, y - r);
      cairo_line_to(cr, x + r, y);
      cairo_line_to(cr, x, y + r);
      cairo_line_to(cr, x - r, y);
      cairo_close_path(cr);
      break;
    case MarkShape::Triangle:
      cairo_move_to(cr, x, y - r);
      cairo_line_to(cr, x + r, y + r * 0.8);
      cairo_line_to(cr, x - r, y + r * 0.8);
      cairo_close_path(cr);
      break;
    case MarkShape::SignalPost:
      // A post with a round head.
      cairo_move_to(cr, x, y + r);
      cairo_line_to(cr, x, y);
      set_line(cr, LineStyle{mark.outline, std::max(1.0, mark.size / 7), {}});
      cairo_stroke(cr);
      cairo_arc(cr, x, y - r * 0.35, r * 0.55, 0, 2 * M_PI);
      break;
    case MarkShape::Board:
      cairo_rectangle(cr, x - r * 1.1, y - r * 0.7, 2.2 * r, 1.4 * r);
      break;
  }
  set_colour(cr, mark.fill);
  cairo_fill_preserve(cr);
  set_line(cr, LineStyle{mark.outline, std::max(0.8, mark.size / 10), {}});
  cairo_stroke(cr);
}

void paint_backdrop(cairo_t* cr, const Label& label) {
  if (!label.backdrop) return;
  const Box patch = label.box.grown(1.5);
  cairo_rectangle(cr, patch.left, patch.top, patch.width(), patch.height());
  cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
  cairo_fill(cr);
}

void paint_text(cairo_t* cr, const Label& label) {
  set_font(cr, label.font);
  set_colour(cr, label.colour);
  cairo_move_to(cr, label.box.left, label.baseline);
  cairo_show_text(cr, label.text.c_str());
  cairo_new_path(cr);
}

/// How the texts of a picture are drawn: by cairo (as glyphs in a PNG, as text in a PDF), or left to
/// the SVG's own text elements.
enum class Texts { Cairo, SvgElements };

void paint_layout(cairo_t* cr, const PreviewLayout& layout, Texts texts) {
  use_unhinted_metrics(cr);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  for (const Shape& shape : layout.shapes) std::visit([cr](const auto& s) { paint(cr, s); }, shape);
  for (const Label& label : layout.labels) {
    paint_backdrop(cr, label);
    if (texts == Texts::Cairo) paint_text(cr, label);
  }
}

/// The family fontconfig gives for the sans-serif font cairo draws and measures with.
std::string sans_serif_family() {
  std::string family;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(kFontFamily));
  if (!pattern) return family;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch && name)
      family = reinterpret_cast<const char*>(name);
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return family;
}

/// A number for an SVG attribute: at most three decimals, a point whatever the locale.
std::string svg_number(double value) {
  if (!std::isfinite(value)) value = 0;
  std::array<char, 64> buffer{};
  const auto [end, error] =
      std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 3);
  std::string text = error == std::errc() ? std::string(buffer.data(), end) : "0";
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
    const bool point = text.back() == '.';
    text.pop_back();
    if (point) break;
  }
  return text == "-0" ? "0" : text;
}

/// Text for XML character data and attribute values: markup characters as references, and the bytes
/// XML cannot hold (control characters but tab, line feed and return) as the replacement character.
std::string xml_text(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r')
          out += "\uFFFD";
        else
          out.push_back(c);
    }
  }
  return out;
}

std::string svg_colour(const Colour& c) {
  const auto channel = [](double value) {
    return std::to_string(static_cast<int>(std::nearbyint(std::clamp(value, 0.0, 1.0) * 255)));
  };
  return "rgb(" + channel(c.red) + "," + channel(c.green) + "," + channel(c.blue) + ")";
}

const char* panel_id(PanelKind kind) {
  switch (kind) {
    case PanelKind::Title:
      return "title";
    case PanelKind::Plan:
      return "plan";
    case PanelKind::HeightChart:
      return "height-chart";
    case PanelKind::SpeedChart:
      return "speed-chart";
    case PanelKind::TimeChart:
      return "time-chart";
    case PanelKind::Legend:
      return "legend";
    case PanelKind::StationRow:
      return "stations";
    case PanelKind::SignalRow:
      return "signals";
    case PanelKind::SpeedBoardRow:
      return "speed-boards";
    case PanelKind::InfoBoardRow:
      return "information-boards";
    case PanelKind::Axis:
      return "axis";
  }
  return "panel";
}

/// One SVG text element: starting at the label's left edge on its baseline, stretched or squeezed to
/// the width the layout measured, so that it fills its box whatever font the viewer has.
std::string svg_text(const Label& label) {
  std::string element = "<text x=\"" + svg_number(label.box.left) + "\" y=\"" + svg_number(label.baseline) +
                        "\" font-size=\"" + svg_number(label.font.size) + "\"";
  if (label.font.bold) element += " font-weight=\"bold\"";
  element += " fill=\"" + svg_colour(label.colour) + "\"";
  if (label.colour.alpha < 1)
    element += " fill-opacity=\"" + svg_number(std::clamp(label.colour.alpha, 0.0, 1.0)) + "\"";
  if (label.box.width() > 0)
    element += " textLength=\"" + svg_number(label.box.width()) + "\" lengthAdjust=\"spacingAndGlyphs\"";
  return element + ">" + xml_text(label.text) + "</text>\n";
}

/// The texts of the layout as SVG text elements, one group for each panel's texts.
std::string svg_texts(const PreviewLayout& layout) {
  const std::string family = sans_serif_family();
  std::string fonts = "sans-serif";
  if (!family.empty()) fonts = std::string(1, '\'').append(xml_text(family)).append("', ").append(fonts);
  std::string out = "<g id=\"texts\" font-family=\"" + fonts + "\" xml:space=\"preserve\" style=\"white-space:pre\">\n";
  std::vector<bool> written(layout.labels.size(), false);
  for (const Panel& panel : layout.panels) {
    out += "<g id=\"" + std::string(panel_id(panel.kind)) + "\">\n";
    for (const std::size_t index : panel.labels) {
      if (index >= layout.labels.size() || written[index]) continue;
      written[index] = true;
      out += svg_text(layout.labels[index]);
    }
    out += "</g>\n";
  }
  for (std::size_t index = 0; index < layout.labels.size(); ++index)
    if (!written[index]) out += svg_text(layout.labels[index]);
  return out + "</g>\n";
}

std::string status_text(cairo_status_t status) { return std::string("cairo: ") + cairo_status_to_string(status); }

}  // namespace

MeasureText cairo_text_measure() {
  auto context = std::make_shared<Context>();
  context->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
  context->cr = cairo_create(context->surface);
  use_unhinted_metrics(context->cr);
  return [context](const std::string& text, const FontSpec& font) {
    cairo_t* cr = context->cr;
    set_font(cr, font);
    cairo_font_extents_t font_extents;
    cairo_font_extents(cr, &font_extents);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.c_str(), &extents);
    const double inked = extents.width > 0 ? extents.x_bearing + extents.width : 0;
    return TextSize{std::max(extents.x_advance, inked), font_extents.ascent, font_extents.descent};
  };
}

Picture draw_preview(const PreviewLayout& layout, PictureFormat format, const std::string& title) {
  Picture picture;
  const double width = std::max(1.0, layout.width);
  const double height = std::max(1.0, layout.height);
  Context context;
  switch (format) {
    case PictureFormat::Png:
      context.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(std::ceil(width)),
                                                   static_cast<int>(std::ceil(height)));
      break;
    case PictureFormat::Svg:
      context.surface = cairo_svg_surface_create_for_stream(append_bytes, &picture.bytes, width, height);
      break;
    case PictureFormat::Pdf:
      context.surface = cairo_pdf_surface_create_for_stream(append_bytes, &picture.bytes, width, height);
      cairo_pdf_surface_set_metadata(context.surface, CAIRO_PDF_METADATA_TITLE, title.c_str());
      cairo_pdf_surface_set_metadata(context.surface, CAIRO_PDF_METADATA_CREATOR, "scenario preview");
      break;
  }
  if (cairo_surface_status(context.surface) != CAIRO_STATUS_SUCCESS)
    return {{}, status_text(cairo_surface_status(context.surface))};
  context.cr = cairo_create(context.surface);
  paint_layout(context.cr, layout, format == PictureFormat::Svg ? Texts::SvgElements : Texts::Cairo);
  if (cairo_status(context.cr) != CAIRO_STATUS_SUCCESS) return {{}, status_text(cairo_status(context.cr))};
  if (format == PictureFormat::Png) {
    const cairo_status_t written = cairo_surface_write_to_png_stream(context.surface, append_bytes, &picture.bytes);
    if (written != CAIRO_STATUS_SUCCESS) return {{}, status_text(written)};
  } else {
    cairo_surface_finish(context.surface);
    if (cairo_surface_status(context.surface) != CAIRO_STATUS_SUCCESS)
      return {{}, status_text(cairo_surface_status(context.surface))};
  }
  if (format == PictureFormat::Svg) {
    // cairo draws every glyph as a path; the texts go in as text elements after everything it drew.
    const std::size_t end = picture.bytes.rfind("</svg>");
    if (end == std::string::npos) return {{}, "cairo: the SVG it wrote has no end tag"};
    picture.bytes.insert(end, svg_texts(layout));
  }
  return picture;
}

ScenarioPicture draw_scenario_picture(const ScenarioFiles& files, PictureFormat format, int width, int height) {
  ScenarioPicture drawn;
  drawn.layout = layout_preview(files, width, height, cairo_text_measure());
  drawn.picture = draw_preview(drawn.layout, format, files.line_key + ", train " + files.train_number);
  release_drawing_resources();
  return drawn;
}

void release_drawing_resources() {
  cairo_debug_reset_static_data();
  FcFini();
}
