#include "lsp/outline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string kLine = "before the section, pendenza, 1, 2\r\n"    // 1: passed over
                          "[generale]\r\n"                            // 2
                          "lunghezza percorso, 5000\r\n"              // 3
                          "-- a comment\r\n"                          // 4
                          "sfondo uno, 1\r\n"                         // 5
                          "[curve]\r\n"                               // 6: ends the general section
                          "pendenza, 0, 5\r\n"                        // 7
                          "montagna pendenza, 100, 200, 3, 4, 5\r\n"  // 8: two keywords in one field
                          "pendenza, abc, 4\r\n"                      // 9: no number: read on from the next line
                          "cartello_indicatore, 2826,   (PONTE)\r\n"  // 10
                          "[fine]";                                   // 11: the last field, never read

SourcePlace at(int line, int column, SourceKind source = SourceKind::Line) { return {source, line, column}; }

TEST(Outline, FollowsTheLineReadersRules) {
  const Outline outline = read_outline(kLine, SourceKind::Line);
  ASSERT_TRUE(outline.general.has_value());
  EXPECT_EQ(*outline.general, at(2, 1));
  ASSERT_TRUE(outline.general_end.has_value());
  EXPECT_EQ(*outline.general_end, at(6, 1));
  ASSERT_EQ(outline.headers.size(), 2u);
  EXPECT_EQ(outline.headers[1].text, "[curve]");

  ASSERT_EQ(outline.entries.size(), 6u);
  const std::vector<std::pair<int, std::vector<Keyword>>> expected = {
      {3, {Keyword::LineLength}}, {5, {Keyword::BackgroundUno}},
      {7, {Keyword::Gradient}},   {8, {Keyword::Gradient, Keyword::Mountain}},
      {9, {Keyword::Gradient}},   {10, {Keyword::InfoBoard}}};
  for (std::size_t n = 0; n < expected.size(); ++n) {
    EXPECT_EQ(outline.entries[n].place, at(expected[n].first, 1)) << n;
    EXPECT_EQ(outline.entries[n].keywords, expected[n].second) << n;
  }
  const OutlineEntry& both = outline.entries[3];
  ASSERT_EQ(both.values.size(), 5u);
  const std::vector<OutlineValue> mountain = both.values_of(Keyword::Mountain);
  ASSERT_EQ(mountain.size(), 3u);
  EXPECT_EQ(mountain[0].number, 3);
  EXPECT_EQ(mountain[2].place, at(8, 36));
  EXPECT_EQ(both.end, at(8, 37));
  EXPECT_FALSE(outline.entries[4].complete);
  EXPECT_TRUE(outline.entries[5].complete);
  EXPECT_EQ(outline.entries[5].values[1].text, "(PONTE)");
  EXPECT_EQ(outline.entries[5].values[1].place, at(10, 30));
}

TEST(Outline, TellsTheSectionOfAPlace) {
  const Outline line = read_outline(kLine, SourceKind::Line);
  EXPECT_EQ(line.section_at(at(1, 25)), Section::BeforeGeneral);
  EXPECT_EQ(line.section_at(at(4, 1)), Section::LineGeneral);
  EXPECT_EQ(line.section_at(at(7, 1)), Section::LineEntries);
  const Outline service = read_outline("x\r\n[generale]\r\nvetture, 3\r\n[fine]", SourceKind::Service);
  EXPECT_EQ(service.section_at(at(1, 1, SourceKind::Service)), Section::BeforeGeneral);
  EXPECT_EQ(service.section_at(at(3, 1, SourceKind::Service)), Section::Service);
  const Outline without = read_outline("lunghezza percorso, 5000\r\n", SourceKind::Line);
  EXPECT_FALSE(without.general.has_value());
  EXPECT_TRUE(without.entries.empty());
  EXPECT_EQ(without.section_at(at(1, 1)), Section::BeforeGeneral);

  // Read no further than the place, or than the end of the general section: the same sections.
  for (const SourcePlace place : {at(1, 25), at(2, 1), at(2, 2), at(4, 1), at(6, 1), at(6, 2), at(7, 1), at(11, 3)})
    EXPECT_EQ(section_at(kLine, SourceKind::Line, place), line.section_at(place)) << place.line << ":" << place.column;
  EXPECT_EQ(section_at("x\r\n[generale]\r\nvetture, 3\r\n[fine]", SourceKind::Service, at(3, 1, SourceKind::Service)),
            Section::Service);
  // The file's own UTF-8 text has the same fields as its compiled text.
  const std::string utf8 =
      "citt\xC3\xA0, pendenza\r\n[generale]\r\n\xE2\x82\xAC, 5\r\n[curve]\r\npendenza, 0, 5\r\n[fine]";
  EXPECT_EQ(section_at(utf8, SourceKind::Line, at(3, 5)), Section::LineGeneral);
  EXPECT_EQ(section_at(utf8, SourceKind::Line, at(5, 1)), Section::LineEntries);
}

TEST(Outline, AFilterKeepsOnlyTheEntriesAskedForUpToAPlace) {
  const Outline until = read_outline(kLine, SourceKind::Line, {.until = at(7, 1), .keep = {}, .headers = false});
  ASSERT_EQ(until.entries.size(), 3u);  // the length, the background and the gradient of line 7
  EXPECT_EQ(until.entries.back().place, at(7, 1));
  EXPECT_TRUE(until.headers.empty());
  EXPECT_EQ(until.general_end, at(6, 1));

  const Outline boards =
      read_outline(kLine, SourceKind::Line, {.until = std::nullopt, .keep = [](const OutlineEntry& entry) {
                                               return entry.keywords.front() == Keyword::InfoBoard;
                                             }});
  ASSERT_EQ(boards.entries.size(), 1u);
  EXPECT_EQ(boards.entries[0].place, at(10, 1));
  EXPECT_EQ(boards.headers.size(), 2u);
}

TEST(Outline, FindsTheEntryOfAPlaceAndReadsNumbersAsTheReadersDo) {
  const std::string service = "[generale]\r\n"
                              "segnale, 1500, 2,3,0, 0,0, 0, 0,0,0, 0   \r\n"
                              "stazione, 650, 12, 300, 1,1,0, 4,1,0, 2,1,1, 1, 16,0,0, PORTO NUOVO\r\n"
                              "orologio, 16 22 40\r\n"
                              "[fine]";
  const Outline outline = read_outline(service, SourceKind::Service);
  ASSERT_EQ(outline.entries.size(), 3u);
  const OutlineEntry& clock = outline.entries[2];
  ASSERT_EQ(clock.values.size(), 3u);
  EXPECT_EQ(clock.values[1].number, 22);
  EXPECT_EQ(clock.values[2].place, at(4, 17, SourceKind::Service));

  const OutlineEntry* station = outline.entry_at(at(3, 62, SourceKind::Service));
  ASSERT_NE(station, nullptr);
  EXPECT_EQ(station->keywords, std::vector<Keyword>{Keyword::Station});
  EXPECT_EQ(station->values.back().text, "PORTO NUOVO");
  // The blanks after an entry's last field still name it; a header names none.
  const OutlineEntry* signal = outline.entry_at(at(2, 40, SourceKind::Service));
  ASSERT_NE(signal, nullptr);
  EXPECT_EQ(signal->keywords, std::vector<Keyword>{Keyword::Signal});
  EXPECT_EQ(outline.entry_at(at(1, 3, SourceKind::Service)), nullptr);
}

}  // namespace
