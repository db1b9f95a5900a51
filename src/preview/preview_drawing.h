#pragma once

#include <string>

#include "preview/picture_format.h"
#include "preview/preview_layout.h"

/// Measures texts with cairo's text extents in the fonts the drawing uses, so that the boxes of the
/// layout are the boxes the texts will fill.
MeasureText cairo_text_measure();

/// The bytes of a picture, or why cairo could not make it.
struct Picture {
  std::string bytes;
  std::string error;  // empty when `bytes` holds the picture
};

/// Paints the layout with cairo: its shapes in order, then its labels, on a white page of the layout's
/// size (pixels for PNG, points for SVG and PDF). A PDF keeps the labels as text; an SVG has them as
/// text elements, one group for each panel, each held to the width the layout measured.
Picture draw_preview(const PreviewLayout& layout, PictureFormat format, const std::string& title);

/// The picture of a scenario's files as `preview` and `watch --preview` draw it: laid out on a page of
/// width x height with cairo's measures, titled "K, train N", drawn, and the drawing's resources freed.
/// The layout comes with it, for what the caller reports.
struct ScenarioPicture {
  PreviewLayout layout;
  Picture picture;
};
ScenarioPicture draw_scenario_picture(const ScenarioFiles& files, PictureFormat format, int width, int height);

/// Frees what cairo and fontconfig keep for the whole process (font caches, the font configuration),
/// so that a leak checker finds nothing left at the end. Call it once no cairo object is alive any
/// more, at the end of the program; drawing afterwards loads everything again.
void release_drawing_resources();
