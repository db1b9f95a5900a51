// The README's table of error codes is the program's own table.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "scenario/error_codes.h"

namespace {

TEST(Readme, ListsEveryErrorCodeWithItsMeaning) {
  const std::string readme = read_file(README_PATH);
  for (const ErrorCodeInfo& entry : error_code_table()) {
    const std::string row = "| E" + std::to_string(entry.code) + " | " + entry.meaning + " |\n";
    EXPECT_NE(readme.find(row), std::string::npos) << row;
  }
}

}  // namespace
