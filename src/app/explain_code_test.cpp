#include "app/explain_code.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "app/exit_status.h"
#include "scenario/diagnostics.h"
#include "scenario/error_codes.h"

namespace {

struct Explained {
  int status;
  std::string out;
  std::string err;
};

/// "E" and the code's number.
std::string code_name(int32_t code) {
  std::string name = "E";
  name += std::to_string(code);
  return name;
}

Explained explain(const std::string& code) {
  std::ostringstream out;
  std::ostringstream err;
  const int status = explain_error_code(code, out, err);
  return {status, out.str(), err.str()};
}

TEST(ExplainCode, PrintsTheMeaningTheExampleAndTheFix) {
  const Explained e16 = explain("E16");
  EXPECT_EQ(e16.status, kExitSuccess);
  EXPECT_EQ(e16.err, "");
  EXPECT_EQ(e16.out, "E16: signal on an occupied cell\n"
                     "\n"
                     "A signal takes the cell round(position / 50 + 1), which must be free: plain\n"
                     "track or a mountain marker. Here 1500 m and 1510 m both fall in cell 31.\n"
                     "\n"
                     "Example:\n"
                     "  Demo_linea.txt:\n"
                     "    [generale]\n"
                     "    lunghezza percorso, 5000\n"
                     "    [curve]\n"
                     "    [fine]\n"
                     "  Demo_9-.txt:\n"
                     "    [generale]\n"
                     "    segnale, 1500, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\n"
                     "    segnale, 1510, 2, 3, 0, 0, 0, 0, 0, 0, 0, 0\n"
                     "    [fine]\n"
                     "\n"
                     "Fix: Move one of the two objects to another cell, at least 50 m from the\n"
                     "other.\n");
}

TEST(ExplainCode, TheCodeWithOrWithoutItsLetter) {
  for (const char* code : {"E16", "e16", "16"}) EXPECT_EQ(explain(code).out, explain("E16").out) << code;
  // Every code of the table has its page: the code and its meaning, then lines of at most 78
  // characters but for the lines of the example.
  for (const ErrorCodeInfo& info : error_code_table()) {
    const Explained explained = explain(code_name(info.code));
    EXPECT_EQ(explained.status, kExitSuccess) << info.code;
    std::istringstream lines(explained.out);
    std::string heading;
    for (std::string line; std::getline(lines, line) && !line.empty();) heading += (heading.empty() ? "" : " ") + line;
    EXPECT_EQ(heading, code_name(info.code) + ": " + info.meaning);
    for (std::string line; std::getline(lines, line);) {
      if (!line.starts_with("    ")) {
        EXPECT_LE(line.size(), 78u) << line;
      }
    }
  }
}

TEST(ExplainCode, AnUnknownCodeIsAnArgumentMistakeThatListsTheCodes) {
  for (const char* code : {"E14", "E", "", "E16x", "E-16", "99999999999"}) {
    SCOPED_TRACE(code);
    const Explained unknown = explain(code);
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_EQ(unknown.out, "");
    const std::string said =
        *code == '\0' ? std::string("the error code is empty") : std::string("unknown error code \"") + code + "\"";
    EXPECT_NE(unknown.err.find(said), std::string::npos) << unknown.err;
    EXPECT_NE(unknown.err.find(" E1 E2 E3 "), std::string::npos);
    EXPECT_NE(unknown.err.find(" E1250 E1251; the warning kinds are not-a-keyword "), std::string::npos);
    EXPECT_NE(unknown.err.find(" line-not-positive"), std::string::npos);
  }
}

TEST(ExplainCode, AWarningKindIsExplainedByItsName) {
  for (const WarningKind kind : warning_kinds()) {
    const std::string name(warning_kind_name(kind));
    SCOPED_TRACE(name);
    const Explained explained = explain(name);
    EXPECT_EQ(explained.status, kExitSuccess);
    EXPECT_EQ(explained.err, "");
    EXPECT_EQ(explained.out.rfind(name + " (a warning): ", 0), 0u) << explained.out;
    EXPECT_NE(explained.out.find("compile -w"), std::string::npos);
  }
  // The name as tools give it, exactly: another case is no kind.
  EXPECT_EQ(explain("Not-A-Keyword").status, kExitUsage);
}

TEST(ExplainCode, ALongExampleShowsItsFirstAndLastLines) {
  // 81 information boards: the line description has 85 lines.
  const Explained e106 = explain("E106");
  EXPECT_NE(e106.out.find("    [generale]\n    lunghezza percorso, 5000\n    [curve]\n"
                          "    cartello_indicatore, 500, (BOARD)\n    cartello_indicatore, 550, (BOARD)\n"
                          "    ... (78 more lines of the same kind)\n"
                          "    cartello_indicatore, 4500, (BOARD)\n    [fine]\n"),
            std::string::npos)
      << e106.out;
  // The second source of the example is shown whole.
  EXPECT_NE(e106.out.find("  Demo_9-.txt:\n    [generale]\n    [fine]\n"), std::string::npos);
}

TEST(ExplainCode, AMissingFileIsSaidSo) {
  EXPECT_NE(explain("E101").out.find("  Demo_linea.txt: no such file\n  Demo_9-.txt:\n"), std::string::npos);
}

}  // namespace
