#include "compiler/line_index.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(LineIndex, CutsAtCrLfLfAndCrAndFindsTheLineOfAnOffset) {
  const std::string text = "one\r\ntwo\nthree\rfour";
  const LineIndex lines(text);
  ASSERT_EQ(lines.count(), 4);
  EXPECT_EQ(lines.line(text, 1), "one");
  EXPECT_EQ(lines.line(text, 2), "two");
  EXPECT_EQ(lines.line(text, 3), "three");
  EXPECT_EQ(lines.line(text, 4), "four");
  EXPECT_EQ(lines.line(text, 0), "");
  EXPECT_EQ(lines.line(text, 5), "");
  EXPECT_EQ(lines.start(3, text.size()), 9u);
  EXPECT_EQ(lines.start(9, text.size()), text.size());
  EXPECT_EQ(lines.line_of(0), 1);
  EXPECT_EQ(lines.line_of(4), 1);  // the LF of CR LF belongs to its line
  EXPECT_EQ(lines.line_of(5), 2);
  EXPECT_EQ(lines.line_of(text.size() + 10), 4);
}

TEST(LineIndex, ATextEndingWithALineEndHasAnEmptyLastLine) {
  EXPECT_EQ(LineIndex("").count(), 1);
  EXPECT_EQ(LineIndex("a\r\n").count(), 2);
  EXPECT_EQ(LineIndex("\r\r\n\n").count(), 4);
}

}  // namespace
