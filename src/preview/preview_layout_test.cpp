#include "preview/preview_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <map>

#include "model/kilometric.h"
#include "preview/preview_drawing.h"
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

    const Label& plan = layout().labels.at(station.plan_label);
    EXPECT_EQ(plan.role, LabelRole::PlanStation);
    EXPECT_EQ(plan.text, names[i]);
    EXPECT_TRUE(layout().plan_area.contains(plan.box));
    EXPECT_TRUE(layout().plan_area.contains(station.plan_at));
    const double gap = std::hypot(std::clamp(station.plan_at.x, plan.box.left, plan.box.right) - station.plan_at.x,
                                  std::clamp(station.plan_at.y, plan.box.top, plan.box.bottom) - station.plan_at.y);
    EXPECT_LT(gap, 160.0) << "the label stands too far from its station";

    // The row text: the name and the timetable time, starting at the station's mark.
    const Label& row = layout().labels.at(station.row_label);
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

TEST_F(ScenarioLayout, NoTwoLabelBoxesOverlapAndEveryLabelIsOnThePage) {
  EXPECT_EQ(overlapping_labels(layout()), std::vector<std::string>{});
  const Box page{0, 0, layout().width, layout().height};
  for (const Label& label : layout().labels) {
    EXPECT_TRUE(page.contains(label.box)) << label.text;
    EXPECT_GT(label.box.width(), 0) << label.text;
    EXPECT_FALSE(label.text.empty());
  }
}

TEST_F(ScenarioLayout, TitleAxisTitlesAndLegendAreThere) {
  std::map<LabelRole, std::vector<std::string>> texts;
  for (const Label& label : layout().labels) texts[label.role].push_back(label.text);
  ASSERT_EQ(texts[LabelRole::Title].size(), 1u);
  EXPECT_NE(texts[LabelRole::Title][0].find("Lesca-Varo"), std::string::npos);
  EXPECT_NE(texts[LabelRole::Title][0].find("train 148"), std::string::npos);
  EXPECT_NE(texts[LabelRole::Title][0].find("29.000 km"), std::string::npos);
  EXPECT_EQ(texts[LabelRole::AxisTitle], std::vector<std::string>{"Kilometric progressive (km), as the scenario table gives it"});
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
    const Label& label = layout().labels.at(band.label);
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
    if (label.role == LabelRole::TickLabel && label.box.top > layout().speed_area.bottom) ticks.push_back(label.text);
  ASSERT_FALSE(ticks.empty());
  EXPECT_EQ(ticks.front(), "29");
  EXPECT_EQ(ticks.back(), "0");
}

TEST(PreviewLayout, LabelsStayApartOnOtherPageSizes) {
  const ScenarioFiles files = compiled_scenario();
  const MeasureText measure = cairo_text_measure();
  const std::pair<double, double> sizes[] = {{600, 400}, {800, 500}, {1200, 800}, {1000, 1400}, {3200, 2000}, {6000, 400}, {600, 6000}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    const PreviewLayout layout = layout_preview(files, width, height, measure);
    EXPECT_EQ(overlapping_labels(layout), std::vector<std::string>{});
    EXPECT_EQ(layout.stations.size(), 13u);
    const Box page{0, 0, width, height};
    for (const Label& label : layout.labels) EXPECT_TRUE(page.contains(label.box)) << label.text;
  }
}

/// A measure that needs no font: 0.6 of the size per character.
TextSize fixed_width(const std::string& text, const FontSpec& font) {
  return {0.6 * font.size * static_cast<double>(text.size()), 0.8 * font.size, 0.2 * font.size};
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
      {"every cell a slowdown end", [](ScenarioFiles& f) {
         for (int32_t i = 0; i <= f.grid.cellCount(); ++i) f.grid[i].kind = static_cast<uint8_t>(CellKind::SlowdownEnd);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScenarioFiles files = compiled_scenario();
    c.spoil(files);
    PreviewLayout layout;
    EXPECT_NO_THROW(layout = layout_preview(files, 1600, 1000, fixed_width));
    EXPECT_GE(layout.axis_end, 50);
    EXPECT_EQ(overlapping_labels(layout), std::vector<std::string>{});
  }
}

}  // namespace
