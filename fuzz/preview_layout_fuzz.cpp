// The layout of the picture, from any three decoded files: the places of every text, panel and mark.
//
// Input: the page's width and height choosers (two u16, to the sizes the command takes), the lengths of
// the grid's and the table's bytes (two u32), the grid's bytes, the table's bytes, then the trace's bytes
// to the end. A part that does not decode is laid out as missing (the layout shows what it is given).
// The line key and the train number are the table's own texts. Texts are measured by their characters,
// so that no font is needed.
//
// After every input: every text lies inside the page and inside its one panel, no two texts overlap,
// every panel is at least its least height, and every coordinate is a number. A layout that takes longer
// than libFuzzer's -timeout is a finding too: the layout's cost must stay n log n.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "preview/preview_files.h"
#include "preview/preview_layout.h"
#include "scenario/binary_format.h"

namespace {

/// 0.6 of the size per character, counting a UTF-8 character once.
TextSize by_characters(const std::string& text, const FontSpec& font) {
  double characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return {0.6 * font.size * characters, 0.8 * font.size, 0.2 * font.size};
}

uint32_t little_endian(std::string_view bytes, std::size_t at, std::size_t size) {
  uint32_t value = 0;
  for (std::size_t k = 0; k < size && at + k < bytes.size(); ++k)
    value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + k])) << (8 * k);
  return value;
}

bool finite(const Box& box) {
  return std::isfinite(box.left) && std::isfinite(box.top) && std::isfinite(box.right) && std::isfinite(box.bottom);
}

/// `inner` in `outer`, give or take the rounding of sums of sizes.
bool inside(const Box& outer, const Box& inner) {
  const double slack = 1e-9 * std::max({1.0, std::abs(outer.right), std::abs(outer.bottom)});
  return outer.grown(slack).contains(inner);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const double width = 600 + little_endian(input, 0, 2) % 5401;
  const double height = 400 + little_endian(input, 2, 2) % 5601;
  std::string_view rest = input.substr(std::min<std::size_t>(input.size(), 12));
  const std::size_t grid_size = std::min<std::size_t>(little_endian(input, 4, 4), rest.size());
  const std::string_view grid_bytes = rest.substr(0, grid_size);
  rest.remove_prefix(grid_size);
  const std::size_t table_size = std::min<std::size_t>(little_endian(input, 8, 4), rest.size());
  const std::string_view table_bytes = rest.substr(0, table_size);
  rest.remove_prefix(table_size);

  ScenarioFiles files;
  if (auto grid = decode_grid(grid_bytes)) files.grid = std::move(*grid);
  if (auto table = decode_table(table_bytes)) files.table = std::move(*table);
  if (auto trace = decode_trace(rest)) files.trace = std::move(*trace);
  files.line_key = files.table[kLineRecord].text;
  files.train_number = files.table[kServiceRecord].text;

  const PreviewLayout layout = layout_preview(files, width, height, by_characters);

  FUZZ_CHECK(layout.width >= width && layout.height >= height);
  const Box page{0, 0, layout.width, layout.height};
  std::vector<int> panels_of(layout.labels.size(), 0);
  for (const Panel& panel : layout.panels) {
    FUZZ_CHECK(finite(panel.box));
    FUZZ_CHECK(inside(page, panel.box));
    FUZZ_CHECK(panel.box.height() >= panel.minimum_height - 1e-6);
    FUZZ_CHECK(panel.left_out >= 0);
    for (const std::size_t index : panel.labels) {
      FUZZ_CHECK(index < layout.labels.size());
      ++panels_of[index];
      FUZZ_CHECK(inside(panel.box, layout.labels[index].box));
    }
    for (const Point& p : panel.line_end) FUZZ_CHECK(inside(panel.box, Box{p.x, p.y, p.x, p.y}));
  }
  for (std::size_t i = 0; i < layout.labels.size(); ++i) {
    FUZZ_CHECK(panels_of[i] == 1);
    FUZZ_CHECK(finite(layout.labels[i].box));
    FUZZ_CHECK(inside(page, layout.labels[i].box));
    FUZZ_CHECK(!layout.labels[i].text.empty());
  }
  // No two texts overlap: by their left edges, each against those that start before it ends.
  std::vector<std::size_t> order(layout.labels.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return layout.labels[a].box.left < layout.labels[b].box.left; });
  for (std::size_t a = 0; a < order.size(); ++a) {
    const Box& box = layout.labels[order[a]].box;
    for (std::size_t b = a + 1; b < order.size() && layout.labels[order[b]].box.left < box.right; ++b)
      FUZZ_CHECK(!box.overlaps(layout.labels[order[b]].box));
  }
  return 0;
}
