#include "scenario/diagnostics.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

Diagnostic warning(WarningKind kind, int line) {
  Diagnostic d;
  d.severity = Severity::Warning;
  d.warning = kind;
  d.place = SourcePlace{SourceKind::Line, line, 1};
  return d;
}

Diagnostic error(int32_t code, int line = 1) {
  Diagnostic d;
  d.code = code;
  d.place = SourcePlace{SourceKind::Service, line, 1};
  return d;
}

TEST(Diagnostics, KeepsTheFirstOfEachKindAndCountsTheRest) {
  Diagnostics sink;
  const std::size_t many = Diagnostics::kMaxPerKind + 50;
  for (std::size_t n = 1; n <= many; ++n) sink.add(warning(WarningKind::NotAKeyword, static_cast<int>(n)));
  sink.add(warning(WarningKind::ValueCut, 7));
  for (std::size_t n = 0; n < many + 1; ++n) sink.add(error(16, static_cast<int>(n + 1)));
  sink.add(error(25));

  EXPECT_EQ(sink.warnings(), many + 1);
  EXPECT_EQ(sink.errors(), many + 2);
  EXPECT_EQ(sink.all().size(), 2 * Diagnostics::kMaxPerKind + 2);
  // The first found are kept, in the order found.
  EXPECT_EQ(sink.all().front().place->line, 1);
  EXPECT_EQ(sink.all()[Diagnostics::kMaxPerKind - 1].place->line, static_cast<int>(Diagnostics::kMaxPerKind));
  EXPECT_EQ(sink.all()[Diagnostics::kMaxPerKind].warning, WarningKind::ValueCut);
  EXPECT_EQ(sink.all().back().code, 25);

  ASSERT_EQ(sink.omitted().size(), 2u);
  EXPECT_EQ(sink.omitted()[0].severity, Severity::Warning);
  EXPECT_EQ(sink.omitted()[0].warning, WarningKind::NotAKeyword);
  EXPECT_EQ(sink.omitted()[0].count, 50u);
  EXPECT_EQ(sink.omitted()[1].severity, Severity::Error);
  EXPECT_EQ(sink.omitted()[1].code, 16);
  EXPECT_EQ(sink.omitted()[1].count, 51u);

  // The same error again follows from the first: it is not reported twice.
  sink.add(error(16, 1));
  EXPECT_EQ(sink.errors(), many + 2);

  sink.clear();
  EXPECT_TRUE(sink.all().empty());
  EXPECT_EQ(sink.errors() + sink.warnings(), 0u);
}

TEST(Diagnostics, EveryWarningKindHasItsOwnNameAndADescription) {
  std::set<std::string> names;
  for (const WarningKind kind : warning_kinds()) {
    EXPECT_FALSE(warning_kind_description(kind).empty());
    EXPECT_TRUE(names.insert(std::string(warning_kind_name(kind))).second) << warning_kind_name(kind);
  }
  // Every kind of the enumeration, up to the last, has a row of the table.
  EXPECT_EQ(names.size(), static_cast<std::size_t>(WarningKind::ServiceReadInPart) + 1);
}

}  // namespace
