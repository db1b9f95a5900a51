#include "compiler/field_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace {

// A read to perform: as text, or as a number of a given width.
enum class As { Text, StoredText, Int32, Int16, Uint8 };
struct Read {
  As as;
  std::variant<std::string, int64_t> expected;
};

struct Case {
  const char* name;
  std::string input;
  std::vector<Read> reads;
  bool at_end_after;
};

Read text(std::string s) { return {As::Text, std::move(s)}; }
Read i32(int64_t v) { return {As::Int32, v}; }

std::variant<std::string, int64_t> perform(FieldReader& reader, As as) {
  switch (as) {
    case As::Text:
      return reader.read_text();
    case As::StoredText:
      return reader.read_stored_text();
    case As::Int32:
      return int64_t{reader.read_int32()};
    case As::Int16:
      return int64_t{reader.read_int16()};
    case As::Uint8:
      return int64_t{reader.read_uint8()};
  }
  return std::string();
}

TEST(FieldReader, ReadsFieldsByTheSequentialInputRules) {
  const std::vector<Case> cases = {
      {"keyword then number", "lunghezza percorso,    29000\r\n", {text("lunghezza percorso"), i32(29000)}, true},
      {"numbers separated by blanks only",
       "orologio,    16              22            40 \r\n",
       {text("orologio"), i32(16), i32(22), i32(40)},
       true},
      {"blanks before the comma", "0    ,0\r\n", {i32(0), i32(0)}, true},
      {"empty fields read as 0", "x,  80,  ,  ,  ,  0\r\n", {text("x"), i32(80), i32(0), i32(0), i32(0), i32(0)}, true},
      {"empty field at a line end", "a,\r\nb", {text("a"), i32(0), text("b")}, true},
      {"negative and signed numbers", "-2, +7,-0\n", {i32(-2), i32(7), i32(0)}, true},
      {"text keeps its trailing blanks",
       "cartello,  2826,   (  A  )(B)   \r\n[fine]\r\n",
       {text("cartello"), i32(2826), text("(  A  )(B)   "), text("[fine]")},
       true},
      {"lone LF and lone CR end lines", "a\nb\rc", {text("a"), text("b"), text("c")}, true},
      {"a line without comma is one field", "[generale]\r\nx", {text("[generale]"), text("x")}, true},
      {"quoted field keeps its comma", "\"a, b\"  ,next\r\n", {text("a, b"), text("next")}, true},
      {"quoted field at a line end", "\"q\"\r\n5", {text("q"), i32(5)}, true},
      {"file not yet at end", "a,b", {text("a")}, false},
      {"the longest text", std::string(65535, 'a'), {text(std::string(65535, 'a'))}, true},
      {"limits of each width",
       "2147483647,-2147483648,32767,-32768,255,0",
       {i32(2147483647), i32(-2147483648LL), {As::Int16, 32767}, {As::Int16, -32768}, {As::Uint8, 255}, {As::Uint8, 0}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FieldReader reader(c.input, SourceKind::Line);
    for (const Read& read : c.reads) EXPECT_EQ(perform(reader, read.as), read.expected);
    EXPECT_EQ(reader.at_end(), c.at_end_after);
  }
}

TEST(FieldReader, RefusesWhatIsNotAFieldOfItsKind) {
  struct Failure {
    const char* name;
    std::string input;
    std::vector<As> reads;  // the last one fails
    SourcePlace place;
  };
  const std::vector<Failure> cases = {
      {"text where a number is needed", "abc,1", {As::Int32}, {SourceKind::Line, 1, 1}},
      {"digits followed by letters", "  12abc,1", {As::Int32}, {SourceKind::Line, 1, 3}},
      {"a sign alone", "x,\r\n  -,", {As::Text, As::Int32, As::Int32}, {SourceKind::Line, 2, 3}},
      {"a decimal point", "1.5", {As::Int32}, {SourceKind::Line, 1, 1}},
      {"read past the end", "a", {As::Text, As::Text}, {SourceKind::Line, 1, 2}},
      {"number past the end", "1\r\n", {As::Int32, As::Int32}, {SourceKind::Line, 2, 1}},
      {"beyond 32 bits", "2147483648", {As::Int32}, {SourceKind::Line, 1, 1}},
      {"a very long digit run", "99999999999999999999999999", {As::Int32}, {SourceKind::Line, 1, 1}},
      {"beyond 16 bits", "40000", {As::Int16}, {SourceKind::Line, 1, 1}},
      {"byte of 256", "256", {As::Uint8}, {SourceKind::Line, 1, 1}},
      {"negative byte", "-1", {As::Uint8}, {SourceKind::Line, 1, 1}},
      {"stored text too long to store",
       "x," + std::string(65536, 'a'),
       {As::Text, As::StoredText},
       {SourceKind::Line, 1, 3}},
  };
  for (const Failure& c : cases) {
    SCOPED_TRACE(c.name);
    FieldReader reader(c.input, SourceKind::Line);
    for (std::size_t i = 0; i + 1 < c.reads.size(); ++i) perform(reader, c.reads[i]);
    try {
      perform(reader, c.reads.back());
      ADD_FAILURE() << "no read failure";
    } catch (const ReadFailure& failure) {
      EXPECT_EQ(failure.place().line, c.place.line);
      EXPECT_EQ(failure.place().column, c.place.column);
    }
  }
}

TEST(FieldReader, OnlyStoredTextsAreLimitedToWhatARecordHolds) {
  const std::string longest(65535, 'a');
  const std::string dashes(70000, '-');
  const std::string text = dashes + "\r\n" + longest + "\r\n" + dashes + ",x";
  FieldReader reader(text, SourceKind::Line);
  EXPECT_EQ(reader.read_text(), dashes);
  EXPECT_EQ(reader.read_stored_text(), longest);
  EXPECT_EQ(reader.read_text(), dashes);
  EXPECT_EQ(reader.read_text(), "x");
}

TEST(FieldReader, KnowsWhereEachFieldStartsAndItsLine) {
  FieldReader reader("[generale]\r\nsfondo uno,    1\r\nlast", SourceKind::Service);
  reader.read_text();
  EXPECT_EQ(reader.read_text(), "sfondo uno");
  EXPECT_EQ(reader.last_place().line, 2);
  EXPECT_EQ(reader.last_place().column, 1);
  reader.read_int32();
  EXPECT_EQ(reader.last_place().column, 16);
  EXPECT_EQ(reader.last_place().source, SourceKind::Service);
  EXPECT_EQ(reader.line_text(2), "sfondo uno,    1");
  EXPECT_EQ(reader.line_text(3), "last");
  EXPECT_EQ(reader.line_text(4), "");
}

}  // namespace
