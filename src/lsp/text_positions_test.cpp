#include "lsp/text_positions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "CITTÀ" with an A grave (2 bytes of UTF-8, 1 UTF-16 unit) and a train (4 bytes, 2 units).
const std::string kUtf8Line = "stazione, CITT\xC3\x80 \xF0\x9F\x9A\x86, x";

TEST(TextLines, CountsCharactersInTheEncodingTheEditorAgreedTo) {
  const std::string text = "first\r\n" + kUtf8Line + "\rthird";
  const LineIndex index(text);
  const TextLines lines(text, index, false);
  ASSERT_EQ(lines.line_count(), 3);
  EXPECT_EQ(lines.line(2), kUtf8Line);
  // The byte column of "x": 10 + 5 letters (6 bytes) + blank + train (4 bytes) + ", " = column 24.
  const int x = static_cast<int>(kUtf8Line.find(", x")) + 3;
  EXPECT_EQ(x, 24);
  EXPECT_EQ(lines.position(2, x, protocol::PositionEncoding::Utf8), (protocol::Position{1, 23}));
  EXPECT_EQ(lines.position(2, x, protocol::PositionEncoding::Utf16), (protocol::Position{1, 20}));
  EXPECT_EQ(lines.byte_place({1, 20}, protocol::PositionEncoding::Utf16), std::make_pair(2, 24));
  EXPECT_EQ(lines.byte_place({1, 23}, protocol::PositionEncoding::Utf8), std::make_pair(2, 24));
  // Inside the train's two units: the column where the train starts.
  const int train = static_cast<int>(kUtf8Line.find('\xF0')) + 1;
  EXPECT_EQ(lines.byte_place({1, 17}, protocol::PositionEncoding::Utf16), std::make_pair(2, train));
  // Beyond a line's end, and beyond the last line.
  EXPECT_EQ(lines.byte_place({2, 99}, protocol::PositionEncoding::Utf16), std::make_pair(3, 6));
  EXPECT_EQ(lines.byte_place({9, 0}, protocol::PositionEncoding::Utf16), std::make_pair(3, 6));
  EXPECT_EQ(lines.position(3, 99, protocol::PositionEncoding::Utf16), (protocol::Position{2, 5}));
}

TEST(TextLines, AWindows1252FileCountsOneUnitPerByteAndItsUtf8Length) {
  // 0xC0 is an A grave (2 bytes of UTF-8), 0x80 the euro sign (3 bytes), both one UTF-16 unit.
  const std::string text = "CITT\xC0 \x80, x";
  const LineIndex index(text);
  const TextLines lines(text, index, true);
  EXPECT_EQ(lines.position(1, 10, protocol::PositionEncoding::Utf16), (protocol::Position{0, 9}));
  EXPECT_EQ(lines.position(1, 10, protocol::PositionEncoding::Utf8), (protocol::Position{0, 12}));
  EXPECT_EQ(lines.byte_place({0, 12}, protocol::PositionEncoding::Utf8), std::make_pair(1, 10));
}

TEST(FieldEndColumn, EndsAtTheCommaTheLineEndOrTheClosingQuote) {
  struct Case {
    const char* line;
    int column;
    int end;
  };
  const std::vector<Case> cases = {
      {"pendenza, 2000 , 5", 11, 15},  // the blanks before the comma are not the field's
      {"pendenza, 2000 , 5", 18, 19},  // the last field runs to the line's end
      {"a, \"x, y\" , b", 4, 10},      // a quoted field holds its commas
      {"a, \"open", 4, 9},             // a quote never closed runs to the line's end
      {"a,,b", 3, 3},                  // an empty field ends where it starts
      {"abc", 9, 9},                   // beyond the line
  };
  for (const Case& c : cases) EXPECT_EQ(field_end_column(c.line, c.column), c.end) << c.line << " at " << c.column;
}

TEST(FileUris, GoBothWays) {
#ifdef _WIN32
  // The drive after a slash, "/" between the parts in the URI; the system's own path outside it.
  const std::string path = "C:\\a dir\\Città_linea.txt";
  const std::string uri = uri_of_path(path);
  EXPECT_EQ(uri, "file:///C%3A/a%20dir/Citt%C3%A0_linea.txt");
  EXPECT_EQ(path_of_uri(uri), path);
  EXPECT_EQ(path_of_uri("file:///c:/x/K_linea.txt"), "c:\\x\\K_linea.txt");
  EXPECT_EQ(path_of_uri("file://localhost/x/K_linea.txt"), "\\x\\K_linea.txt");
  EXPECT_EQ(path_of_uri("FILE:///x%2fy"), "\\x\\y");
  // A colon after the drive would name a stream of a file, and a partner beside it a place on another
  // drive: such a URI names no file.
  EXPECT_FALSE(path_of_uri("file:///C:/dir/K%3Aads_1-.txt").has_value());
  EXPECT_FALSE(path_of_uri("file:///dir/K:ads_1-.txt").has_value());
#else
  const std::string path = "/tmp/a dir/Città_linea.txt";
  const std::string uri = uri_of_path(path);
  EXPECT_EQ(uri, "file:///tmp/a%20dir/Citt%C3%A0_linea.txt");
  EXPECT_EQ(path_of_uri(uri), path);
  EXPECT_EQ(path_of_uri("file://localhost/x/K_linea.txt"), "/x/K_linea.txt");
  EXPECT_EQ(path_of_uri("FILE:///x%2fy"), "/x/y");
  EXPECT_EQ(path_of_uri("file:///dir/K%3Aads_1-.txt"), "/dir/K:ads_1-.txt");  // a colon is a letter here
#endif
  EXPECT_FALSE(path_of_uri("untitled:Untitled-1").has_value());
  EXPECT_FALSE(path_of_uri("file://server/share/x").has_value());
  EXPECT_FALSE(path_of_uri("file:///x%zz").has_value());
  EXPECT_FALSE(path_of_uri("file:///x%00y").has_value());
}

}  // namespace
