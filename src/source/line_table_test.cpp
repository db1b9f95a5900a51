#include "source/line_table.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(LineTable, WritesEachEntryWithCrLfUpToTheEndMarker) {
  const LineTable table{"first", "", "  spaced  ", kEndMarker, "never written", "x"};
  EXPECT_EQ(encode_lines(table), "first\r\n\r\n  spaced  \r\n");
}

TEST(LineTable, TheEndMarkerIsMatchedWholeAndWithItsCase) {
  const LineTable table{"Riferimento fine del file", "riferimento fine del file ", kEndMarker};
  EXPECT_EQ(encode_lines(table), "Riferimento fine del file\r\nriferimento fine del file \r\n");
}

TEST(LineTable, ATableWithoutItsEndMarkerIsAFaultOfTheProgram) {
  EXPECT_THROW(encode_lines(LineTable{"a", "b"}), std::logic_error);
}

}  // namespace
