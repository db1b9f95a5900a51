#include "source/starter_scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/program_directory.h"
#include "scenario/run_state.h"
#include "support/temporary_directory.h"

namespace {

/// The lines of a file's bytes; every line must end with CR LF.
std::vector<std::string> split_crlf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "bytes after the last CR LF: " << bytes.substr(start);
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The shape the readers need: printable ASCII (the same bytes in Windows-1252) with CR LF, "[generale]"
// before the entries, one comment line of a single field before every entry (no comma, so the reader
// takes the whole line as one field holding "-"), and "[fine]" as the last line, which is never read.
TEST(StarterScenario, EveryEntryFollowsItsCommentAndTheFileEndsWithFine) {
  for (const auto& [name, table] :
       {std::pair{"line", starter_line_lines()}, std::pair{"service", starter_service_lines()}}) {
    SCOPED_TRACE(name);
    const std::vector<std::string> lines = split_crlf(encode_lines(table));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(), "[fine]");
    std::size_t general = 0;
    while (general < lines.size() && lines[general] != "[generale]") ++general;
    ASSERT_LT(general, lines.size());
    std::size_t entries = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
      const std::string& line = lines[n];
      SCOPED_TRACE(line);
      for (const char c : line) EXPECT_TRUE(c >= 0x20 && c <= 0x7E);
      if (n <= general || line.starts_with("[")) continue;
      if (line.starts_with("-")) {
        EXPECT_EQ(line.find(','), std::string::npos);
        EXPECT_TRUE(n + 1 < lines.size() && !lines[n + 1].starts_with("-") && !lines[n + 1].starts_with("["))
            << "a comment stands before an entry";
        continue;
      }
      ++entries;
      EXPECT_TRUE(lines[n - 1].starts_with("-")) << "an entry without its comment";
      EXPECT_NE(line.find(','), std::string::npos);
    }
    EXPECT_GE(entries, 10u);
  }
}

}  // namespace
