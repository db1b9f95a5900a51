#include "compiler/source_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// "CITTÀ" (an A grave, 2 bytes of UTF-8), a Ŵ (U+0174, no byte in Windows-1252), a train (4 bytes, none)
// and a stray continuation byte, on the second line.
const std::string kText = "[generale]\r\n\"CITT\xC3\x80\", \xC5\xB4, \xF0\x9F\x9A\x86 \x80 x\r\n[fine]\r\n";

TEST(MakeSource, ReportsEachCharacterWindows1252CannotHoldAtItsPlaceAndKeepsThePlacesOfTheRest) {
  SourceFile file("K_1-.txt", kText, InputEncoding::Utf8);
  Diagnostics errors;
  EXPECT_FALSE(make_source(file, SourceKind::Service, errors));
  struct Expected {
    int file_column;
    int character_column;
    std::string detail;
  };
  const std::vector<Expected> expected = {
      {11, 10, "U+0174 has no byte in Windows-1252, the code page of the simulator's files"},
      {15, 13, "U+1F686 has no byte in Windows-1252, the code page of the simulator's files"},
      {20, 15, "malformed UTF-8"},
  };
  ASSERT_EQ(errors.all().size(), expected.size());
  for (std::size_t n = 0; n < expected.size(); ++n) {
    const Diagnostic& error = errors.all()[n];
    ASSERT_TRUE(error.place.has_value());
    EXPECT_EQ(error.place->line, 2);
    const SourcePlace in_file = file.in_file(*error.place);
    EXPECT_EQ(in_file.column, expected[n].file_column) << n;
    EXPECT_EQ(file.character_column(in_file), expected[n].character_column) << n;
    EXPECT_EQ(error.detail, expected[n].detail) << n;
  }
  // One byte for each character of the file, the refused ones as "?": every later place still matches.
  EXPECT_EQ(file.compiled(), "[generale]\r\n\"CITT\xC0\", ?, ? ? x\r\n[fine]\r\n");
  const SourcePlace x{SourceKind::Service, 2, 17};  // the compiled column of "x"
  EXPECT_EQ(file.in_file(x).column, 22);
  EXPECT_EQ(file.in_compiled({SourceKind::Service, 2, 22}).column, 17);
  // A file column inside a character names that character; beyond the line, just after it.
  EXPECT_EQ(file.in_compiled({SourceKind::Service, 2, 7}).column, 6);
  EXPECT_EQ(file.in_file({SourceKind::Service, 2, 99}).column, 23);
}

TEST(MakeSource, KeepsAsManyErrorsAsTheSinkKeepsOfOneKindAndCountsTheRest) {
  std::string text = "[generale]\r\n";
  for (int n = 0; n < 150; ++n) text += "\xE2\x86\x92\r\n";  // an arrow, U+2192, on each line
  SourceFile file("K_linea.txt", text, InputEncoding::Utf8);
  Diagnostics errors;
  EXPECT_FALSE(make_source(file, SourceKind::Line, errors));
  EXPECT_EQ(errors.errors(), 150u);
  EXPECT_EQ(errors.all().size(), Diagnostics::kMaxPerKind);
  EXPECT_EQ(errors.all().back().place->line, 101);
}

TEST(MakeSource, AnAsciiOrWindows1252TextIsCompiledAsItIsWithoutACopy) {
  for (const InputEncoding encoding : {InputEncoding::Utf8, InputEncoding::Windows1252}) {
    SourceFile file("K_linea.txt", "[generale]\r\n\xE0", encoding);
    if (encoding == InputEncoding::Utf8) file = SourceFile("K_linea.txt", "[generale]\r\n", encoding);
    Diagnostics errors;
    EXPECT_TRUE(make_source(file, SourceKind::Line, errors));
    EXPECT_EQ(file.compiled().data(), file.text().data());
    const SourceFile copy = file;
    EXPECT_EQ(copy.text().data(), file.text().data());
  }
}

}  // namespace
