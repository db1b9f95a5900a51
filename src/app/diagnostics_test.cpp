#include "app/diagnostics.h"

#include <gtest/gtest.h>

#include <string>

namespace {

Diagnostic error_at(int32_t code, SourcePlace place, int32_t position, int64_t cell) {
  Diagnostic d;
  d.code = code;
  d.place = place;
  d.position = position;
  d.cell = cell;
  d.message = "signal on an occupied cell";
  return d;
}

TEST(DiagnosticPrinter, AnErrorWithItsPlaceLineAndCaret) {
  const Sources sources{{"L_linea.txt", "[generale]\r\n"}, {"L_7-.txt", "[generale]\r\nsegnale,\t1510, 2\r\n"}};
  const DiagnosticPrinter printer(sources);
  EXPECT_EQ(printer.format(error_at(16, {SourceKind::Service, 2, 10}, 1510, 31)),
            "L_7-.txt:2:10: error E16: signal on an occupied cell (at 1510 m, cell 31)\n"
            "segnale,\t1510, 2\n"
            "        \t^\n");
}

TEST(DiagnosticPrinter, WarningsRelatedPlacesAndErrorsWithoutAPlace) {
  const Sources sources{{"L_linea.txt", "[generale]\nSfondo uno, 3\n"}, {"L_7-.txt", "a\nb\n"}};
  const DiagnosticPrinter printer(sources);
  Diagnostic warning;
  warning.severity = Severity::Warning;
  warning.place = SourcePlace{SourceKind::Line, 2, 1};
  warning.message = "ignored";
  warning.related.push_back({{SourceKind::Service, 2, 1}, "see here"});
  EXPECT_EQ(printer.format(warning),
            "L_linea.txt:2:1: warning: ignored\nSfondo uno, 3\n^\nL_7-.txt:2:1: note: see here\nb\n^\n");

  Diagnostic placeless;
  placeless.code = 12;
  placeless.position = 10050;
  placeless.cell = 201;
  placeless.message = "no free cell";
  EXPECT_EQ(printer.format(placeless), "L_7-.txt: error E12: no free cell (at 10050 m, cell 201)\n");
}

TEST(DiagnosticPrinter, ALongLineIsQuotedAsAWindowAroundTheCaret) {
  const std::string line = std::string(500, '-') + "pendenza, x" + std::string(500, '-');
  const Sources sources{{"L_linea.txt", line + "\r\n"}, {"L_7-.txt", ""}};
  const DiagnosticPrinter printer(sources);
  Diagnostic d;
  d.code = 25;
  d.place = SourcePlace{SourceKind::Line, 1, 511};  // the "x"
  d.message = "read failure";
  const std::string text = printer.format(d);
  const auto first_end = text.find('\n');
  const auto quoted_end = text.find('\n', first_end + 1);
  const std::string quoted = text.substr(first_end + 1, quoted_end - first_end - 1);
  const std::string caret = text.substr(quoted_end + 1);
  EXPECT_LT(quoted.size(), 200u);
  EXPECT_TRUE(quoted.starts_with("...")) << quoted;
  EXPECT_TRUE(quoted.ends_with("...")) << quoted;
  ASSERT_EQ(caret.back(), '\n');
  EXPECT_EQ(quoted[caret.size() - 2], 'x') << quoted << "\n" << caret;
}

TEST(DiagnosticPrinter, WhatWasOnlyCountedIsOneLine) {
  const Sources sources{{"L_linea.txt", ""}, {"L_7-.txt", ""}};
  const DiagnosticPrinter printer(sources);
  EXPECT_EQ(printer.format(Omitted{Severity::Warning, 0, WarningKind::NotAKeyword, 159990}),
            "scenario: ... and 159990 more warnings of this kind (not-a-keyword) not shown\n");
  EXPECT_EQ(printer.format(Omitted{Severity::Error, 16, WarningKind::NotAKeyword, 3}),
            "scenario: ... and 3 more errors E16 not shown\n");
}

}  // namespace
