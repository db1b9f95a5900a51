#include "compiler/source_check.h"

#include <gtest/gtest.h>

#include <string>

#include "scenario/error_codes.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"

namespace {

PairNames names_of(const std::string& line_name, const std::string& service_name) {
  const auto line = parse_file_name(line_name);
  const auto service = parse_file_name(service_name);
  return {line->line_key, service->train_number, line, service};
}

TEST(FileNamesDiffer, WarnsOnlyWhenBothNamesGiveDifferentKeys) {
  const auto demo = parse_file_name("Demo_linea.txt");
  const auto other = parse_file_name("Other_1-.txt");
  const auto same = parse_file_name("Demo_1-.txt");
  const auto warning = file_names_differ(demo, other);
  ASSERT_TRUE(warning.has_value());
  EXPECT_EQ(warning->warning, WarningKind::FileNamesDiffer);
  EXPECT_NE(warning->message.find("\"Demo\""), std::string::npos);
  EXPECT_NE(warning->message.find("\"Other\""), std::string::npos);
  EXPECT_FALSE(file_names_differ(demo, same).has_value());
  EXPECT_FALSE(file_names_differ(demo, std::nullopt).has_value());
}

TEST(CheckPair, CompilesThePairAndReadsOnAfterARefusal) {
  // Two stations whose positions are not multiples of 50: reading on finds both.
  std::string service = encode_lines(starter_service_lines());
  for (const std::string from : {"stazione,     650", "stazione,    2450"}) {
    const std::size_t at = service.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    service[at + from.size() - 1] = '1';
  }
  Sources sources{SourceFile("Demo_linea.txt", encode_lines(starter_line_lines())), SourceFile("Demo_1-.txt", service)};
  const PairCheck check = check_pair(sources, names_of("Demo_linea.txt", "Demo_1-.txt"));
  ASSERT_NE(check.state, nullptr);
  int station_positions = 0;
  for (const Diagnostic& diagnostic : check.diagnostics().all())
    station_positions += diagnostic.code == kErrorStationPosition;
  EXPECT_EQ(station_positions, 2);
  EXPECT_EQ(check.state->line_key, "Demo");
  EXPECT_EQ(check.state->train_number, "1");
}

TEST(CheckPair, ACharacterWindows1252CannotHoldStopsTheCheckAtItsPlace) {
  const std::string line = encode_lines(starter_line_lines());
  Sources sources{SourceFile("Demo_linea.txt", line, InputEncoding::Utf8),
                  SourceFile("Demo_1-.txt", "[generale]\r\n-- \xE2\x86\x92 arrow\r\n[fine]\r\n", InputEncoding::Utf8)};
  const PairCheck check = check_pair(sources, names_of("Demo_linea.txt", "Demo_1-.txt"));
  EXPECT_EQ(check.state, nullptr);
  ASSERT_EQ(check.diagnostics().all().size(), 1u);
  const Diagnostic& error = check.diagnostics().all().front();
  ASSERT_TRUE(error.place.has_value());
  EXPECT_EQ(error.place->source, SourceKind::Service);
  EXPECT_EQ(error.place->line, 2);
  EXPECT_EQ(error.place->column, 4);
  EXPECT_EQ(rule_id(error), "input-encoding");
}

TEST(CheckPair, AByteOrderMarkOpeningAUtf8FileIsTakenOff) {
  const std::string mark = "\xEF\xBB\xBF";
  Sources sources{SourceFile("Demo_linea.txt", mark + encode_lines(starter_line_lines()), InputEncoding::Utf8),
                  SourceFile("Demo_1-.txt", mark + encode_lines(starter_service_lines()), InputEncoding::Utf8)};
  const PairCheck check = check_pair(sources, names_of("Demo_linea.txt", "Demo_1-.txt"));
  ASSERT_NE(check.state, nullptr);
  // The mark is read as nothing, and its three bytes still count in the columns of the first line.
  for (const Diagnostic& diagnostic : check.diagnostics().all())
    EXPECT_NE(rule_id(diagnostic), "input-encoding") << diagnostic_text(diagnostic);
  EXPECT_EQ(check.diagnostics().errors(), 0u);
  EXPECT_EQ(sources.line.compiled(), encode_lines(starter_line_lines()));
  EXPECT_EQ(sources.line.in_file(SourcePlace{SourceKind::Line, 1, 1}).column, 4);
  EXPECT_EQ(sources.line.character_column(SourcePlace{SourceKind::Line, 1, 4}), 1);
  EXPECT_EQ(sources.line.in_file(SourcePlace{SourceKind::Line, 2, 1}).column, 1);
}

}  // namespace
