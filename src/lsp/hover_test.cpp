#include "lsp/hover.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/source_check.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"

namespace {

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t found = text.find(from);
  EXPECT_NE(found, std::string::npos) << from;
  if (found != std::string::npos) text.replace(found, from.size(), to);
  return text;
}

/// The starter scenario with a signal under the slowdown's warning mark and a mountain stretch beyond the
/// grid, compiled as a check does.
struct Compiled {
  Sources sources{SourceFile("Demo_linea.txt", replaced(encode_lines(starter_line_lines()), "montagna,  1900,  2300",
                                                        "montagna,  1900,  90000")),
                  SourceFile("Demo_1-.txt",
                             replaced(encode_lines(starter_service_lines()), "segnale,    1800", "segnale,    2600"))};
  PairCheck check = check_pair(sources, {"Demo", "1", std::nullopt, std::nullopt});

  /// The hover of the entry whose keyword field starts the line holding `needle`.
  std::string hover(SourceKind kind, const std::string& needle, bool compiled = true) const {
    const Outline outline = read_outline(sources.of(kind).compiled(), kind);
    const std::string& text = sources.of(kind).compiled();
    const std::size_t at = text.find(needle);
    int line = 1;
    for (std::size_t i = 0; i < at && at != std::string::npos; ++i) line += text[i] == '\n';
    const OutlineEntry* entry = outline.entry_at({kind, line, 1});
    if (entry == nullptr) return "(no entry at " + needle + ")";
    return hover_markdown(*entry, compiled ? check.state.get() : nullptr, "the line description is missing");
  }
};

TEST(Hover, TellsWhatEachEntryCompilesTo) {
  const Compiled compiled;
  ASSERT_NE(compiled.check.state, nullptr);
  struct Case {
    SourceKind source;
    const char* entry;
    std::vector<const char*> told;
  };
  const std::vector<Case> cases = {
      {SourceKind::Line, "lunghezza percorso", {"`length` 5000", "stored: 5000 m", "cells 0 to 240, 0 to 12050 m"}},
      {SourceKind::Line,
       "progressiva chilometrica uno",
       {"stored in record 81: start 0 m, value 5100 m (100 added for the flag), flag 1", "counts down from km 5.000"}},
      {SourceKind::Line, "curvas3", {"**`curvas3`**", "the plan turns left, sharpness 3 (radius 2500 m)"}},
      {SourceKind::Line,
       "pendenza,  3600",
       {"from cell 72 (3600 m, km 1.400): gradient -5 per mille over cells 72 to 85 (3600 to 4300 m)"}},
      {SourceKind::Line, "montagna", {"cells 38 to 1799 leave the grid (cells 0 to 240, 0 to 12050 m)"}},
      {SourceKind::Line,
       "cartello_indicatore",
       {"cell 58 (2850 m, km 2.150): this information board; text in record 80: `(    PONTE     )(  FIUME VERDE )"}},
      {SourceKind::Service, "orologio", {"stored: the clock starts at 15 h 59 min 30 s"}},
      {SourceKind::Service, "velocita,    0", {"line speed 80 km/h over cells 0 to 59 (0 to 3000 m)"}},
      {SourceKind::Service,
       "rallentamento",
       {"cell 53 (2600 m, km 2.400): this slowdown's warning mark; speed 40 km/h",
        "cell 77 (3800 m, km 1.200): this slowdown's start; speed 40 km/h, f_tt 0",
        "control points the finishing pass placed for it: cells"}},
      {SourceKind::Service,
       "segnale,    2600",
       {"cell 53 (2600 m, km 2.400): taken by the warning mark 1200 m before the slowdown at 3800 m (the train "
        "service, line 28), not by this entry"}},
      {SourceKind::Service,
       "VALLE ALTA",
       {"record 3: `VALLE ALTA` at 5000 m (km 0.000), timetable time 16:06:30, kind 6",
        "platform from 4700 m (km 0.300) to 5150 m (km -0.150)", "this station's mark; station record 3"}},
  };
  for (const Case& c : cases) {
    const std::string text = compiled.hover(c.source, c.entry);
    for (const char* told : c.told)
      EXPECT_NE(text.find(told), std::string::npos) << c.entry << ": " << told << "\n" << text;
  }
}

TEST(Hover, AStationTellsTheRunFromThePreviousStop) {
  Sources sources{SourceFile("Demo_linea.txt", encode_lines(starter_line_lines())),
                  SourceFile("Demo_1-.txt", encode_lines(starter_service_lines()))};
  const PairCheck check = check_pair(sources, {"Demo", "1", std::nullopt, std::nullopt});
  const Outline outline = read_outline(sources.service.compiled(), SourceKind::Service);
  const auto hover_of = [&](const std::string& needle) {
    const std::string& text = sources.service.compiled();
    const std::size_t at = text.find(needle);
    int line = 1;
    for (std::size_t i = 0; i < at; ++i) line += text[i] == '\n';
    const OutlineEntry* entry = outline.entry_at({SourceKind::Service, line, 1});
    return entry ? hover_markdown(*entry, check.state.get(), "") : std::string("(no entry)");
  };
  const std::string molino = hover_of("MOLINO");
  EXPECT_NE(molino.find("Run from PORTO NUOVO (1800 m): the timetable gives 2:40, the train needs at least 1:5"),
            std::string::npos)
      << molino;
  EXPECT_NE(molino.find("), normal."), std::string::npos) << molino;
  EXPECT_EQ(hover_of("PORTO NUOVO").find("Run from"), std::string::npos);  // the first stop: no run ends there
}

TEST(Hover, WithoutACompilationShowsTheValuesAndWhy) {
  const Compiled compiled;
  const std::string text = compiled.hover(SourceKind::Service, "segnale,    4400", false);
  EXPECT_NE(text.find("`posizione` 4400, `sx` 2, `s1` 4"), std::string::npos) << text;
  EXPECT_NE(text.find("_Not compiled: the line description is missing_"), std::string::npos) << text;
  EXPECT_EQ(text.find("cell"), std::string::npos) << text;
}

TEST(Hover, AnEntryCutShortSaysSo) {
  Sources sources{
      SourceFile("K_linea.txt", "[generale]\r\nlunghezza percorso, 5000\r\n[curve]\r\npendenza, x, 4\r\n[fine]\r\n"),
      SourceFile("K_1-.txt", "[generale]\r\n[fine]\r\n")};
  const PairCheck check = check_pair(sources, {"K", "1", std::nullopt, std::nullopt});
  const Outline outline = read_outline(sources.line.compiled(), SourceKind::Line);
  const OutlineEntry* entry = outline.entry_at({SourceKind::Line, 4, 3});
  ASSERT_NE(entry, nullptr);
  const std::string text = hover_markdown(*entry, check.state.get(), "");
  EXPECT_NE(text.find("`position` (missing), `gradient` (missing)"), std::string::npos) << text;
  EXPECT_NE(text.find("the entry lacks values"), std::string::npos) << text;
}

}  // namespace
