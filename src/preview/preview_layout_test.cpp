#include "preview/preview_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include "model/kilometric.h"
#include "preview/palette.h"
#include "preview/preview_drawing.h"
#include "preview/preview_scene.h"
#include "preview/preview_test_support.h"
#include "scenario/track_cell.h"

namespace {

using preview_test::compiled_scenario;
using preview_test::entries;

/// The layout of the scenario on the default page, measured with cairo as the command measures it.
class ScenarioLayout : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    files_ = new ScenarioFiles(compiled_scenario());
    layout_ = new PreviewLayout(layout_preview(*files_, 1600, 1000, cairo_text_measure()));
  }
  static void TearDownTestSuite() {
    delete layout_;
    delete files_;
  }
  static const ScenarioFiles& files() { return *files_; }
  static const PreviewLayout& layout() { return *layout_; }
  static double x_of(double metre) {
    const Box& area = layout().speed_area;
    return area.left + metre / layout().axis_end * area.width();
  }

  static inline ScenarioFiles* files_ = nullptr;
  static inline PreviewLayout* layout_ = nullptr;
};

/// Every pair of label boxes that share some area, named for the failure message.
std::vector<std::string> overlapping_labels(const PreviewLayout& layout) {
  std::vector<std::string> found;
  for (std::size_t a = 0; a < layout.labels.size(); ++a)
    for (std::size_t b = a + 1; b < layout.labels.size(); ++b)
      if (layout.labels[a].box.overlaps(layout.labels[b].box))
        found.push_back("\"" + layout.labels[a].text + "\" and \"" + layout.labels[b].text + "\"");
  return found;
}

/// Whether `inner` lies in `outer`, give or take the rounding of sums of floating-point sizes.
bool inside(const Box& outer, const Box& inner) { return outer.grown(1e-6).contains(inner); }

std::string describe(const Box& box) {
  return "[" + std::to_string(box.left) + ", " + std::to_string(box.top) + " - " + std::to_string(box.right) + ", " +
         std::to_string(box.bottom) + "]";
}

/// What breaks the rules of the page, one line each: a text outside the page or outside its panel, or in
/// no panel or in two; a panel outside the page, over another one or lower than its minimum; two texts
/// that overlap.
std::vector<std::string> page_faults(const PreviewLayout& layout) {
  std::vector<std::string> faults = overlapping_labels(layout);
  const Box page{0, 0, layout.width, layout.height};
  std::vector<int> panels_of(layout.labels.size(), 0);
  for (std::size_t p = 0; p < layout.panels.size(); ++p) {
    const Panel& panel = layout.panels[p];
    const std::string name = "panel " + std::to_string(p) + " " + describe(panel.box);
    if (!inside(page, panel.box)) faults.push_back(name + " is not on the page");
    if (panel.box.height() < panel.minimum_height - 1e-6)
      faults.push_back(name + " is lower than its minimum " + std::to_string(panel.minimum_height));
    for (std::size_t q = p + 1; q < layout.panels.size(); ++q)
      if (panel.box.overlaps(layout.panels[q].box)) faults.push_back(name + " overlaps panel " + std::to_string(q));
    for (const Point& p : panel.line_end)
      if (!inside(panel.box, Box{p.x, p.y, p.x, p.y})) faults.push_back("the end of the line is outside " + name);
    for (const std::size_t index : panel.labels) {
      ++panels_of.at(index);
      const Label& label = layout.labels[index];
      if (!inside(panel.box, label.box))
        faults.push_back("\"" + label.text + "\" " + describe(label.box) + " is outside its " + name);
    }
  }
  for (std::size_t i = 0; i < layout.labels.size(); ++i) {
    const Label& label = layout.labels[i];
    if (!inside(page, label.box)) faults.push_back("\"" + label.text + "\" is not on the page");
    if (panels_of[i] != 1) faults.push_back("\"" + label.text + "\" is in " + std::to_string(panels_of[i]) + " panels");
    if (label.text.empty() || !(label.box.width() > 0)) faults.push_back("an empty text at " + describe(label.box));
  }
  return faults;
}

const Panel& panel_of_kind(const PreviewLayout& layout, PanelKind kind) {
  const auto found =
      std::find_if(layout.panels.begin(), layout.panels.end(), [&](const Panel& panel) { return panel.kind == kind; });
  EXPECT_NE(found, layout.panels.end());
  return *found;
}

TEST_F(ScenarioLayout, EveryStationHasItsLabelOnThePlanAndInItsRow) {
  const std::vector<std::string> names = preview_test::station_names();
  ASSERT_EQ(names.size(), 13u);
  ASSERT_EQ(layout().stations.size(), names.size());
  const auto service = entries(train_service_lines(), "stazione");
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    const StationView& station = layout().stations[i];
    EXPECT_EQ(station.name, names[i]);
    EXPECT_EQ(station.metre, std::stoi(service[i][1]));

    ASSERT_TRUE(station.plan_label.has_value());
    const Label& plan = layout().labels.at(*station.plan_label);
    EXPECT_EQ(plan.role, LabelRole::PlanStation);
    EXPECT_EQ(plan.text, names[i]);
    EXPECT_TRUE(layout().plan_area.contains(plan.box));
    EXPECT_TRUE(layout().plan_area.contains(station.plan_at));
    const double gap = std::hypot(std::clamp(station.plan_at.x, plan.box.left, plan.box.right) - station.plan_at.x,
                                  std::clamp(station.plan_at.y, plan.box.top, plan.box.bottom) - station.plan_at.y);
    EXPECT_LT(gap, 160.0) << "the label stands too far from its station";

    // The row text: the name and the timetable time, starting at the station's mark.
    ASSERT_TRUE(station.row_label.has_value());
    const Label& row = layout().labels.at(*station.row_label);
    EXPECT_EQ(row.role, LabelRole::StationRow);
    const std::string time = service[i][15].size() == 1 ? "0" + service[i][15] : service[i][15];
    const std::string hour_minute = service[i][14] + ":" + time;
    EXPECT_EQ(row.text.substr(0, names[i].size()), names[i]);
    EXPECT_NE(row.text.find(hour_minute), std::string::npos) << row.text;
    EXPECT_GE(row.box.left, x_of(station.metre) - 1e-6);
  }
  // Casal Bernocchi leaves at 16:44:10; its seconds are not dropped.
  EXPECT_EQ(layout().stations[7].time, "16:44:10");
}

TEST_F(ScenarioLayout, NoTwoLabelBoxesOverlapAndEveryLabelIsInThePageAndItsPanel) {
  EXPECT_EQ(page_faults(layout()), std::vector<std::string>{});
  EXPECT_EQ(layout().width, 1600);
  EXPECT_EQ(layout().height, 1000);
  // Everything of the scenario finds room: nothing is left out.
  for (const Panel& panel : layout().panels) {
    EXPECT_EQ(panel.left_out, 0);
    EXPECT_FALSE(panel.note.has_value());
  }
  EXPECT_EQ(layout().panels.size(), 11u);
}

TEST_F(ScenarioLayout, TitleAxisTitlesAndLegendAreThere) {
  std::map<LabelRole, std::vector<std::string>> texts;
  for (const Label& label : layout().labels) texts[label.role].push_back(label.text);
  ASSERT_EQ(texts[LabelRole::Title].size(), 1u);
  EXPECT_NE(texts[LabelRole::Title][0].find("Lesca-Varo"), std::string::npos);
  EXPECT_NE(texts[LabelRole::Title][0].find("train 148"), std::string::npos);
  EXPECT_NE(texts[LabelRole::Title][0].find("29.000 km"), std::string::npos);
  EXPECT_EQ(texts[LabelRole::AxisTitle],
            std::vector<std::string>{"Kilometric progressive (km), as the scenario table gives it"});
  for (const char* entry : {"Height profile", "Mountain stretch", "Line speed limit", "Slowdown", "Station", "Signal",
                            "Speed board", "Information board"})
    EXPECT_NE(std::find(texts[LabelRole::Legend].begin(), texts[LabelRole::Legend].end(), entry),
              texts[LabelRole::Legend].end())
        << entry;
  EXPECT_EQ(texts[LabelRole::ScaleBar].size(), 1u);
  EXPECT_EQ(texts[LabelRole::PlanStart], std::vector<std::string>{"start"});
}

TEST_F(ScenarioLayout, HeightAtTheEndIsTheSumOfTheCellGradientsTimesFiftyMetres) {
  const std::vector<ProfilePoint>& profile = layout().height_profile;
  EXPECT_EQ(layout().axis_end, 29000);
  ASSERT_EQ(profile.size(), 29000u / 50u + 1u);
  EXPECT_EQ(profile.front().metre, 0);
  EXPECT_EQ(profile.front().height, 0.0);
  EXPECT_EQ(profile.back().metre, 29000);

  int64_t sum = 0;
  for (int32_t cell = 0; cell < 29000 / 50; ++cell) sum += files().grid[cell].gradient - 100;
  EXPECT_DOUBLE_EQ(profile.back().height, sum * 50.0 / 1000.0);

  // The same from the line description: each gradient (per mille) over the metres up to the next one.
  const auto gradients = entries(line_description_lines(), "pendenza");
  double from_source = 0;
  for (std::size_t i = 0; i < gradients.size(); ++i) {
    const int from = std::stoi(gradients[i][1]);
    const int to = i + 1 < gradients.size() ? std::stoi(gradients[i + 1][1]) : 29000;
    from_source += std::stoi(gradients[i][2]) * (to - from) / 1000.0;
  }
  EXPECT_NEAR(profile.back().height, from_source, 1e-9);
  EXPECT_NE(from_source, 0.0);
}

TEST_F(ScenarioLayout, SlowdownBandsLieWhereTheGridsSlowdownCellsAre) {
  std::vector<int32_t> starts;
  std::vector<int32_t> ends;
  for (int32_t i = 0; i <= files().grid.cellCount(); ++i) {
    if (files().grid[i].is(CellKind::SlowdownStart)) starts.push_back(i);
    if (files().grid[i].is(CellKind::SlowdownEnd)) ends.push_back(i);
  }
  ASSERT_EQ(starts.size(), 2u);
  ASSERT_EQ(layout().slowdowns.size(), starts.size());
  const auto service = entries(train_service_lines(), "rallentamento");
  ASSERT_EQ(service.size(), 2u);
  for (std::size_t k = 0; k < starts.size(); ++k) {
    const SlowdownView& band = layout().slowdowns[k];
    SCOPED_TRACE(band.from);
    EXPECT_EQ(band.start_cell, starts[k]);
    EXPECT_EQ(band.end_cell, ends[k]);
    EXPECT_EQ(band.from, (starts[k] - 1) * 50);
    EXPECT_EQ(band.to, (ends[k] - 1) * 50);
    EXPECT_EQ(band.speed, files().grid[starts[k]].value1);
    // And so where the service put them: from x to x + l, at speed v.
    EXPECT_EQ(band.from, std::stoi(service[k][1]));
    EXPECT_EQ(band.to, std::stoi(service[k][1]) + std::stoi(service[k][3]));
    EXPECT_EQ(band.speed, std::stoi(service[k][2]));

    EXPECT_NEAR(band.band.left, x_of(band.from), 1e-9);
    EXPECT_NEAR(band.band.right, x_of(band.to), 1e-9);
    EXPECT_EQ(band.band.top, layout().speed_area.top);
    EXPECT_EQ(band.band.bottom, layout().speed_area.bottom);
    ASSERT_TRUE(band.label.has_value());
    const Label& label = layout().labels.at(*band.label);
    EXPECT_EQ(label.text, std::to_string(band.speed) + " km/h");
    EXPECT_TRUE(layout().speed_area.contains(label.box));
  }
}

TEST_F(ScenarioLayout, MountainsAndSpeedLimitsFollowTheirCells) {
  // Mountain stretch from inizio to fine covers cells round(inizio / 50) to round(fine / 50 - 1).
  std::vector<std::pair<int32_t, int32_t>> expected;
  for (const auto& fields : entries(line_description_lines(), "montagna"))
    expected.emplace_back(std::stoi(fields[1]), std::stoi(fields[2]));
  std::vector<std::pair<int32_t, int32_t>> shown;
  for (const Stretch& m : layout().mountains) shown.emplace_back(m.from, m.to);
  EXPECT_EQ(shown, expected);

  ASSERT_EQ(layout().speed_limits.size(), 2u);
  EXPECT_EQ(layout().speed_limits[0].from, 0);
  EXPECT_EQ(layout().speed_limits[0].to, 4400);
  EXPECT_EQ(layout().speed_limits[0].value, 80);
  EXPECT_EQ(layout().speed_limits[1].from, 4400);
  EXPECT_EQ(layout().speed_limits[1].to, 29000);
  EXPECT_EQ(layout().speed_limits[1].value, 90);
}

TEST_F(ScenarioLayout, RowsHoldEveryObjectOfTheirKindAtItsCell) {
  std::map<RowKind, const MarkRow*> rows;
  for (const MarkRow& row : layout().rows) rows[row.kind] = &row;
  ASSERT_EQ(rows.size(), 4u);

  const auto signals = entries(train_service_lines(), "segnale");
  ASSERT_EQ(rows[RowKind::Signals]->marks.size(), signals.size());
  for (std::size_t i = 0; i < signals.size(); ++i) {
    EXPECT_EQ(rows[RowKind::Signals]->marks[i].metre, std::stoi(signals[i][1]));
    EXPECT_FALSE(rows[RowKind::Signals]->marks[i].label.has_value());
  }

  const MarkRow& boards = *rows[RowKind::InfoBoards];
  const auto board_lines = entries(line_description_lines(), "cartello_indicatore");
  ASSERT_EQ(boards.marks.size(), board_lines.size());
  // 2826 m lands in cell 58, which stands for 2850 m; the others are multiples of 50.
  EXPECT_EQ(boards.marks[0].metre, 2850);
  EXPECT_EQ(layout().labels.at(*boards.marks[0].label).text, "PONTE CANALE PESCATORI");
  EXPECT_EQ(layout().labels.at(*boards.marks[6].label).text, "EX STAZIONE TORRINO");

  const MarkRow& speed = *rows[RowKind::SpeedBoards];
  ASSERT_EQ(speed.marks.size(), 2u);
  EXPECT_EQ(speed.marks[0].metre, 850);
  EXPECT_EQ(layout().labels.at(*speed.marks[0].label).text, "80 km/h");
  EXPECT_EQ(layout().labels.at(*speed.marks[1].label).text, "90 km/h");

  // The rows lie one under the other, each mark on the common axis.
  for (std::size_t r = 0; r + 1 < layout().rows.size(); ++r)
    EXPECT_LE(layout().rows[r].area.bottom, layout().rows[r + 1].area.top + 1e-9);
  for (const MarkRow& row : layout().rows)
    for (const RowMark& mark : row.marks) EXPECT_NEAR(mark.at.x, x_of(mark.metre), 1e-9);
  // Close stations and boards need more than one level.
  EXPECT_GT(rows[RowKind::Stations]->levels, 1);
  EXPECT_GT(boards.levels, 1);
}

TEST_F(ScenarioLayout, AxisCountsTheKilometresDownAsTheTableGivesThem) {
  // The line starts at km 29 and ends at km 0; the first station stands at 28.350, as on the card.
  const std::vector<KilometricReference> references = kilometric_references(files().table);
  ASSERT_EQ(references.size(), 1u);
  EXPECT_EQ(kilometric_progressive(references, 0), 29000);
  EXPECT_EQ(kilometric_progressive(references, 650), 28350);
  EXPECT_EQ(kilometric_progressive(references, 29000), 0);
  std::vector<std::string> ticks;
  for (const Label& label : layout().labels)
    if (label.role == LabelRole::TickLabel && label.box.top > layout().time_area.bottom) ticks.push_back(label.text);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks.front(), "29");
  EXPECT_EQ(ticks.back(), "0");
}

/// The page sizes the command takes at their extremes, and some between.
const std::pair<double, double> kPageSizes[] = {{600, 400},   {800, 500},  {1200, 800}, {1600, 1000}, {1000, 1400},
                                                {3200, 2000}, {6000, 400}, {600, 6000}, {6000, 6000}};

TEST(PreviewLayout, LabelsStayApartOnOtherPageSizes) {
  const ScenarioFiles files = compiled_scenario();
  const MeasureText measure = cairo_text_measure();
  for (const auto& [width, height] : kPageSizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const PreviewLayout layout = layout_preview(files, width, height, measure);
    EXPECT_EQ(page_faults(layout), std::vector<std::string>{});
    EXPECT_EQ(layout.stations.size(), 13u);
    EXPECT_EQ(layout.width, width);
    EXPECT_EQ(layout.height, height);
  }
}

/// The crowded scenario's layout on the default page, measured with cairo as the command measures it.
class CrowdedLayout : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    files_ = new ScenarioFiles(preview_test::compiled_crowded_scenario());
    layout_ = new PreviewLayout(layout_preview(*files_, 1600, 1000, cairo_text_measure()));
  }
  static void TearDownTestSuite() {
    delete layout_;
    delete files_;
  }
  static const ScenarioFiles& files() { return *files_; }
  static const PreviewLayout& layout() { return *layout_; }

  static inline ScenarioFiles* files_ = nullptr;
  static inline PreviewLayout* layout_ = nullptr;
};

TEST_F(CrowdedLayout, EveryTextIsInsideThePageAndItsPanelAndEveryPanelKeepsItsHeightAtEverySize) {
  const MeasureText measure = cairo_text_measure();
  for (const auto& [width, height] : kPageSizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const PreviewLayout layout = layout_preview(files(), width, height, measure);
    EXPECT_EQ(page_faults(layout), std::vector<std::string>{});
    // The page is the size asked for: the panels share it.
    EXPECT_EQ(layout.width, width);
    EXPECT_EQ(layout.height, height);
    EXPECT_GE(layout.plan_area.height(), kLeastPlanHeight * layout.unit - 1e-6);
    EXPECT_GE(layout.height_area.height(), kLeastChartHeight * layout.unit - 1e-6);
    EXPECT_GE(layout.speed_area.height(), kLeastChartHeight * layout.unit - 1e-6);
    ASSERT_EQ(layout.rows.size(), 4u);
    for (const MarkRow& row : layout.rows) {
      const bool texts = row.kind != RowKind::Signals;
      EXPECT_EQ(row.levels >= 1, texts);
      for (const RowMark& mark : row.marks)
        EXPECT_TRUE(inside(row.area, Box{mark.at.x, mark.at.y, mark.at.x, mark.at.y}));
    }
    // Every station, signal and board keeps its mark; the texts that find no room are counted.
    EXPECT_EQ(layout.stations.size(), 30u);
    EXPECT_EQ(layout.rows[1].marks.size(), 30u);
    EXPECT_EQ(layout.rows[2].marks.size(), 60u);
    EXPECT_EQ(layout.rows[3].marks.size(), 30u);
  }
}

TEST_F(CrowdedLayout, TextsThatFindNoRoomAreCountedInANoteOfTheirPanel) {
  int rows_short_of_room = 0;
  for (const MarkRow& row : layout().rows) {
    const Panel& panel = layout().panels.at(row.panel);
    SCOPED_TRACE(static_cast<int>(row.kind));
    std::size_t shown = 0;
    for (const RowMark& mark : row.marks) shown += mark.label.has_value();
    if (row.kind == RowKind::Signals) {
      EXPECT_EQ(shown, 0u);
      continue;
    }
    EXPECT_EQ(shown + static_cast<std::size_t>(panel.left_out), row.marks.size());
    ASSERT_EQ(panel.note.has_value(), panel.left_out > 0);
    if (panel.left_out > 0) {
      ++rows_short_of_room;
      const Label& note = layout().labels.at(*panel.note);
      EXPECT_EQ(note.text, std::to_string(panel.left_out) + " more");
      EXPECT_EQ(note.role, LabelRole::Note);
    }
  }
  EXPECT_GE(rows_short_of_room, 1) << "the fixture is meant to crowd the rows";

  // The plan counts the station names it has no room for the same way.
  const Panel& plan = panel_of_kind(layout(), PanelKind::Plan);
  std::size_t named = 0;
  for (const StationView& station : layout().stations) named += station.plan_label.has_value();
  EXPECT_EQ(named + static_cast<std::size_t>(plan.left_out), 30u);
  EXPECT_EQ(plan.note.has_value(), plan.left_out > 0);
}

TEST_F(CrowdedLayout, LongNamesAreCutWithAnEllipsisAndControlCharactersShownEscaped) {
  const std::string ellipsis = "\u2026";
  for (std::size_t k = 0; k < layout().stations.size(); ++k) {
    const StationView& station = layout().stations[k];
    SCOPED_TRACE(station.name);
    std::string escaped = test_support::crowded_station_name(static_cast<int>(k));
    for (const auto& [raw, shown] : {std::pair<std::string, std::string>{"\x1B", "\\x1B"}, {"\t", "\\x09"}})
      for (std::size_t at; (at = escaped.find(raw)) != std::string::npos;) escaped.replace(at, raw.size(), shown);
    EXPECT_EQ(station.name, escaped);
    if (!station.plan_label) continue;
    const Label& plan = layout().labels.at(*station.plan_label);
    EXPECT_LE(plan.box.width(), kLongestPlanText * layout().unit + 1e-6);
    ASSERT_GE(plan.text.size(), ellipsis.size());
    ASSERT_EQ(plan.text.substr(plan.text.size() - ellipsis.size()), ellipsis) << plan.text;
    const std::string kept = plan.text.substr(0, plan.text.size() - ellipsis.size());
    EXPECT_EQ(escaped.substr(0, kept.size()), kept);
    EXPECT_GT(kept.size(), 10u);
  }
  for (const Label& label : layout().labels)
    for (const char c : label.text) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << label.text;
}

/// A measure that needs no font: 0.6 of the size per character.
TextSize fixed_width(const std::string& text, const FontSpec& font) {
  return {0.6 * font.size * static_cast<double>(text.size()), 0.8 * font.size, 0.2 * font.size};
}

TEST(PreviewLayout, TheEndOfTheLineIsMarkedOnEveryPanelThatShowsTheLine) {
  // The scenario as it is, whose axis ends where the line ends, and with a signal 2 km past the end of
  // the line, which carries the axis on beyond it.
  const ScenarioFiles scenario = compiled_scenario();
  ScenarioFiles beyond = scenario;
  beyond.grid[31000 / 50 + 1].kind = static_cast<uint8_t>(CellKind::Signal);
  const ScenarioFiles* const cases[] = {&scenario, &beyond};
  for (const ScenarioFiles* files : cases) {
    SCOPED_TRACE(files == &scenario ? "the scenario" : "a signal beyond the end");
    const PreviewLayout layout = layout_preview(*files, 1600, 1000, fixed_width);
    EXPECT_EQ(layout.axis_end, files == &scenario ? 29000 : 31000);
    const Box& speed = layout.speed_area;
    const double end_x = speed.left + 29000.0 / layout.axis_end * speed.width();
    for (const Panel& panel : layout.panels) {
      SCOPED_TRACE(static_cast<int>(panel.kind));
      if (panel.kind == PanelKind::Title || panel.kind == PanelKind::Legend) {
        EXPECT_TRUE(panel.line_end.empty());
        continue;
      }
      ASSERT_EQ(panel.line_end.size(), 2u);
      const Point a = panel.line_end[0];
      const Point b = panel.line_end[1];
      EXPECT_TRUE(
          inside(panel.box, Box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)}));
      if (panel.kind == PanelKind::Plan) {
        // A bar across the end of the track.
        EXPECT_NEAR((a.x + b.x) / 2, layout.plan_line.back().x, 1e-6);
        EXPECT_NEAR((a.y + b.y) / 2, layout.plan_line.back().y, 1e-6);
      } else {
        // Across the panel at the end of the line on the axis.
        EXPECT_NEAR(a.x, end_x, 1e-6);
        EXPECT_NEAR(b.x, end_x, 1e-6);
        EXPECT_GT(b.y - a.y, 5 * layout.unit);
      }
      // And it is drawn.
      const bool drawn = std::any_of(layout.shapes.begin(), layout.shapes.end(), [&](const Shape& shape) {
        const Stroke* stroke = std::get_if<Stroke>(&shape);
        return stroke && stroke->points.size() == 2 && stroke->points[0].x == a.x && stroke->points[0].y == a.y &&
               stroke->points[1].x == b.x && stroke->points[1].y == b.y &&
               stroke->style.colour.red == colour::kEnd.red && stroke->style.colour.blue == colour::kEnd.blue;
      });
      EXPECT_TRUE(drawn);
    }
    if (files == &beyond) {
      EXPECT_LT(end_x, speed.right - 50);
    }
  }
}

TEST(PreviewLayout, ABoardWithNothingToShowKeepsItsMarkAndTakesNoRoom) {
  ScenarioFiles files = compiled_scenario();
  for (int record = 74; record <= 80; ++record) files.table[static_cast<std::size_t>(record)].text = "(   )(  )";
  const PreviewLayout layout = layout_preview(files, 1600, 1000, fixed_width);
  const MarkRow& boards = layout.rows.at(3);
  ASSERT_EQ(boards.kind, RowKind::InfoBoards);
  EXPECT_EQ(boards.marks.size(), 7u);
  for (const RowMark& mark : boards.marks) EXPECT_FALSE(mark.label.has_value());
  EXPECT_EQ(layout.panels.at(boards.panel).left_out, 0);
  EXPECT_FALSE(layout.panels.at(boards.panel).note.has_value());
  EXPECT_EQ(boards.levels, 1);
}

TEST(PreviewLayout, AnEmptyServiceGivesAPictureWithoutMarks) {
  // Only the line: no stations, signals or slowdowns; the profile still runs over the whole line.
  ScenarioFiles files = compiled_scenario();
  for (int32_t i = 0; i <= files.grid.cellCount(); ++i)
    if (!files.grid[i].is(CellKind::InfoBoard) && !files.grid[i].is(CellKind::SpeedBoard)) files.grid[i].kind = 0;
  for (int record = kFirstStationRecord; record < 20; ++record) files.table[static_cast<std::size_t>(record)] = {};
  const PreviewLayout layout = layout_preview(files, 1600, 1000, fixed_width);
  EXPECT_TRUE(layout.stations.empty());
  EXPECT_TRUE(layout.slowdowns.empty());
  EXPECT_EQ(layout.height_profile.back().metre, 29000);
  EXPECT_EQ(overlapping_labels(layout), std::vector<std::string>{});
}

TEST(PreviewLayout, ASlowdownWithoutEndRunsToTheEndOfTheAxis) {
  ScenarioFiles files = compiled_scenario();
  for (int32_t i = 0; i <= files.grid.cellCount(); ++i)
    if (files.grid[i].is(CellKind::SlowdownEnd) && i > 250) files.grid[i].kind = 0;  // the second one's end
  const PreviewLayout layout = layout_preview(files, 1600, 1000, fixed_width);
  ASSERT_EQ(layout.slowdowns.size(), 2u);
  EXPECT_TRUE(layout.slowdowns[0].end_cell.has_value());
  EXPECT_FALSE(layout.slowdowns[1].end_cell.has_value());
  EXPECT_EQ(layout.slowdowns[1].from, 13500);
  EXPECT_EQ(layout.slowdowns[1].to, layout.axis_end);
}

TEST(PreviewLayout, FilesThatWereNeverCheckedDoNotBreakIt) {
  struct Case {
    const char* name;
    std::function<void(ScenarioFiles&)> spoil;
  };
  const Case cases[] = {
      {"nothing at all", [](ScenarioFiles& f) { f = ScenarioFiles{}; }},
      {"no trace", [](ScenarioFiles& f) { f.trace = TrackTrace{}; }},
      {"a short trace", [](ScenarioFiles& f) { f.trace.create(100); }},
      {"stations far outside the line",
       [](ScenarioFiles& f) {
         f.table[1].number3 = 1000000000;
         f.table[2].number3 = -1000000000;
       }},
      {"a station at the last metre 32 bits hold",
       [](ScenarioFiles& f) { f.table[3].number3 = std::numeric_limits<int32_t>::max(); }},
      {"boards pointing outside the table",
       [](ScenarioFiles& f) {
         for (int32_t i = 0; i <= f.grid.cellCount(); ++i)
           if (f.grid[i].is(CellKind::InfoBoard)) f.grid[i].value1 = static_cast<int16_t>(i % 2 ? 300 : -5);
       }},
      {"every cell a slowdown end",
       [](ScenarioFiles& f) {
         for (int32_t i = 0; i <= f.grid.cellCount(); ++i) f.grid[i].kind = static_cast<uint8_t>(CellKind::SlowdownEnd);
       }},
      {"every cell a slowdown start",
       [](ScenarioFiles& f) {
         for (int32_t i = 0; i <= f.grid.cellCount(); ++i) {
           f.grid[i].kind = static_cast<uint8_t>(CellKind::SlowdownStart);
           f.grid[i].value1 = static_cast<int16_t>(i * 37 % 32768);
         }
       }},
      {"every free cell a speed board",
       [](ScenarioFiles& f) {
         for (int32_t i = 0; i <= f.grid.cellCount(); ++i)
           if (f.grid[i].kind == 0) f.grid[i].kind = static_cast<uint8_t>(CellKind::SpeedBoard);
       }},
      {"information boards with nothing to show",
       [](ScenarioFiles& f) {
         for (int record = 74; record <= 80; ++record) f.table[static_cast<std::size_t>(record)].text = "(   )(  )";
       }},
      {"the longest line length 32 bits hold",
       [](ScenarioFiles& f) { f.table[kTrainRecord].number2 = std::numeric_limits<int32_t>::max(); }},
      {"texts of 65535 bytes, control bytes and markup",
       [](ScenarioFiles& f) {
         f.line_key = std::string(300, '\x1B');
         for (int record = 1; record <= 80; ++record)
           f.table[static_cast<std::size_t>(record)].text = std::string(kMaxRecordText, static_cast<char>(record * 3));
         f.table[2].text = "<b>&amp;\"\x07\x7F\x81";
       }},
      {"a trace that is not numbers",
       [](ScenarioFiles& f) {
         for (int32_t m = 0; m <= f.trace.last_metre(); ++m)
           for (const int axis : {kAxisX, kAxisY})
             f.trace.set_double(m, axis,
                                m % 3 == 0   ? std::numeric_limits<double>::quiet_NaN()
                                : m % 3 == 1 ? std::numeric_limits<double>::infinity()
                                             : 1e300);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScenarioFiles files = compiled_scenario();
    c.spoil(files);
    PreviewLayout layout;
    EXPECT_NO_THROW(layout = layout_preview(files, 1600, 1000, fixed_width));
    EXPECT_GE(layout.axis_end, 50);
    EXPECT_EQ(page_faults(layout), std::vector<std::string>{});
  }
}

}  // namespace

namespace {

TEST(PreviewLayout, TheFastestRunIsDrawnOverTheLimitAndAgainstTheTimetable) {
  const ScenarioFiles files = compiled_scenario();
  const PreviewScene scene = preview_scene(files);
  ASSERT_FALSE(scene.fastest_run.empty());
  ASSERT_EQ(scene.timetable.size(), 13u);
  EXPECT_EQ(scene.timetable.front().time, 0);
  EXPECT_EQ(scene.timetable.back().time, 40 * 60);  // 16:23 to 17:03
  // From the first stop to the last, standing at each, never above the line speed.
  EXPECT_DOUBLE_EQ(scene.fastest_run.front().metre, 650);
  EXPECT_DOUBLE_EQ(scene.fastest_run.back().metre, 29000);
  for (const SceneRunPoint& point : scene.fastest_run) EXPECT_LE(point.speed, 90 + 1e-9);
  EXPECT_NEAR(scene.fastest_run.back().time, 32 * 60 + 30, 2);  // the timetable command's whole run
  for (std::size_t k = 1; k < scene.fastest_run.size(); ++k)
    EXPECT_GE(scene.fastest_run[k].time, scene.fastest_run[k - 1].time);

  const PreviewLayout layout = layout_preview(files, 1600, 1000, cairo_text_measure());
  EXPECT_GE(layout.time_area.height(), kLeastChartHeight * layout.unit);
  EXPECT_GT(layout.time_area.top, layout.speed_area.bottom);
  int runs = 0;
  for (const Shape& shape : layout.shapes)
    if (const auto* stroke = std::get_if<Stroke>(&shape);
        stroke && stroke->style.colour.red == colour::kRun.red && stroke->style.colour.green == colour::kRun.green &&
        stroke->style.colour.blue == colour::kRun.blue && stroke->points.size() > 2) {  // not the legend's
      ++runs;
      const Box& area = runs == 1 ? layout.speed_area : layout.time_area;
      for (const Point& p : stroke->points) {
        EXPECT_GE(p.y, area.top - 1e-9);
        EXPECT_LE(p.y, area.bottom + 1e-9);
      }
    }
  EXPECT_EQ(runs, 2);  // in the speed chart and in the time chart
}

}  // namespace
