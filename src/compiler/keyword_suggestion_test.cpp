#include "compiler/keyword_suggestion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/compile_scenario.h"
#include "scenario/error_codes.h"
#include "scenario/run_state.h"

namespace {

TEST(KeywordDistance, CountsEditsAndSwapsInAnyCase) {
  EXPECT_EQ(keyword_distance("pendenza", "pendenza"), 0u);
  EXPECT_EQ(keyword_distance("PENDENZA", "pendenza"), 0u);
  EXPECT_EQ(keyword_distance("pendneza", "pendenza"), 1u);  // a swap of neighbours
  EXPECT_EQ(keyword_distance("pendnza", "pendenza"), 1u);
  EXPECT_EQ(keyword_distance("pendenzaa", "pendenza"), 1u);
  EXPECT_EQ(keyword_distance("", "curva"), 5u);
  EXPECT_EQ(keyword_distance("abc", "xyz"), 3u);
}

TEST(KeywordSuggestion, NamesTheNearKeywordOrTheOtherFile) {
  struct Case {
    std::string field;  // owned: a pointer into a temporary would dangle once the table is made
    SourceKind source;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"pendneza", SourceKind::Line, "did you mean \"pendenza\"?"},
      {"  Montanga ", SourceKind::Line, "did you mean \"montagna\"?"},
      {"staziome", SourceKind::Service, "did you mean \"stazione\"?"},
      {"rallentamneto", SourceKind::Service, "did you mean \"rallentamento\"?"},
      {"pendenza", SourceKind::Service,
       "\"pendenza\" is an entry of the line description (K_linea.txt), not of the train service"},
      {"stazione", SourceKind::Line,
       "\"stazione\" is an entry of the train service (K_N-.txt), not of the line description"},
      // Nothing near: no guess.
      {"strano", SourceKind::Line, ""},
      {"Milano Centrale", SourceKind::Service, ""},
      {"", SourceKind::Line, ""},
      {std::string(100000, 'x'), SourceKind::Service, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field.substr(0, 20));
    EXPECT_EQ(keyword_suggestion(c.field, c.source), c.expected);
  }
}

std::string line_with(const std::string& entries) {
  return "[generale]\r\nlunghezza percorso,    29000\r\n[curve]\r\n" + entries + "[fine]\r\n";
}
std::string service_with(const std::string& entries) {
  return "[generale]\r\nvelocita, 0, 80\r\naderenza, 0, 100\r\n" + entries + "[fine]\r\n";
}

// Each message meant to leave the author no guess: its place, its kind and its words.
TEST(AuthorMessages, SayWhereAndWhy) {
  struct Case {
    const char* name;
    std::string line;
    std::string service;
    int32_t code;  // 0: a warning of `kind`
    WarningKind kind;
    SourceKind source;
    int line_number;
    int column;
    const char* words;  // what the diagnostic's text holds
  };
  const std::vector<Case> cases = {
      {"a misspelled keyword", line_with("pendneza, 1000, 5\r\n"), service_with(""), 0, WarningKind::NotAKeyword,
       SourceKind::Line, 4, 1, "\"pendneza\" is no keyword: passed over: did you mean \"pendenza\"?"},
      {"a line entry in the train service", line_with(""), service_with("pendenza, 1000, 5\r\n"), 0,
       WarningKind::NotAKeyword, SourceKind::Service, 4, 1,
       "\"pendenza\" is an entry of the line description (K_linea.txt), not of the train service"},
      {"no [generale] in the line description", "lunghezza percorso, 5000\r\n[curve]\r\n[fine]\r\n", service_with(""),
       kErrorNoGeneralSection, WarningKind::NotAKeyword, SourceKind::Line, 1, 1,
       "no field of the file contains \"[generale]\""},
      {"a comma in a station name", line_with(""),
       service_with("stazione, 1000, 12, 200, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7, 23, 0, ROMA, TERMINI\r\n"), 0,
       WarningKind::NotAKeyword, SourceKind::Service, 4, 72,
       "\"TERMINI\" is no keyword: passed over: it follows a comma on its line, which ends a field"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RunState state;
    compile_scenario(state, c.line, c.service, {.keep_going = true});
    bool found = false;
    for (const Diagnostic& d : state.diagnostics.all()) {
      if (c.code != 0 ? d.code != c.code : (d.severity != Severity::Warning || d.warning != c.kind)) continue;
      found = true;
      ASSERT_TRUE(d.place.has_value());
      EXPECT_EQ(d.place->source, c.source);
      EXPECT_EQ(d.place->line, c.line_number);
      EXPECT_EQ(d.place->column, c.column);
      EXPECT_NE(diagnostic_text(d).find(c.words), std::string::npos) << diagnostic_text(d);
    }
    EXPECT_TRUE(found) << "no diagnostic of its kind";
  }
  RunState state;
  compile_scenario(state, line_with("strano\r\n"), service_with(""), {.keep_going = true});
  ASSERT_EQ(state.diagnostics.warnings(), 1u);
  EXPECT_EQ(diagnostic_text(state.diagnostics.all()[0]).find("comma"), std::string::npos);  // it begins its line
}

}  // namespace
