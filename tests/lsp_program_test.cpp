// `scenario lsp` as the real program: its standard input and output, and its exit statuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temporary_directory.h"

namespace {

std::string framed(const std::string& body) {
  // Appended rather than "..." + text, which g++ 12 warns about wrongly (-Wrestrict).
  std::string message = "Content-Length: ";
  message += std::to_string(body.size());
  message += "\r\n\r\n";
  return message + body;
}

const std::string kInitialize =
    framed(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
const std::string kShutdown = framed(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})");
const std::string kExit = framed(R"({"jsonrpc":"2.0","method":"exit"})");

struct Served {
  int status = -1;
  std::string out;
  std::string err;
};

/// Runs `scenario lsp` with `input` on its standard input; its standard output goes to `output` when
/// given (such as /dev/full).
Served serve(const std::string& input, const std::string& output = "") {
  const test_support::TemporaryDirectory directory("scenario-lsp-run");
  directory.write("in", input);
  const std::string out = output.empty() ? directory.at("out") : output;
  std::string command = "'" SCENARIO_EXECUTABLE "' lsp < '";
  command += directory.at("in");
  command += "' > '";
  command += out;
  command += "' 2> '";
  command += directory.at("err");
  command += "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, directory.read("out"), directory.read("err")};
}

TEST(LspProgram, EndsWith0AfterShutdownAndExitAnd1Without) {
  const Served clean = serve(kInitialize + kShutdown + kExit);
  EXPECT_EQ(clean.status, 0) << clean.err;
  EXPECT_NE(clean.out.find(R"("id":1,"jsonrpc":"2.0","result":{"capabilities")"), std::string::npos) << clean.out;
  EXPECT_NE(clean.out.find(R"({"id":2,"jsonrpc":"2.0","result":null})"), std::string::npos) << clean.out;

  struct Case {
    const char* what;
    std::string input;
  };
  for (const Case& c : std::vector<Case>{{"exit without shutdown", kInitialize + kExit},
                                         {"the stream closed without shutdown", kInitialize},
                                         {"nothing at all", ""}}) {
    const Served served = serve(c.input);
    EXPECT_EQ(served.status, 1) << c.what << "\n" << served.err;
  }
}

TEST(LspProgram, ShutdownAndExitWithNullParamsOrNoneEndWith0) {
  // Some editors send "params": null for the methods that have none, others leave them out.
  for (const char* params : {R"(,"params":null)", ""}) {
    const Served served =
        serve(kInitialize + framed(std::string(R"({"jsonrpc":"2.0","id":2,"method":"shutdown")") + params + "}") +
              framed(std::string(R"({"jsonrpc":"2.0","method":"exit")") + params + "}"));
    EXPECT_EQ(served.status, 0) << params << "\n" << served.err;
    EXPECT_NE(served.out.find(R"({"id":2,"jsonrpc":"2.0","result":null})"), std::string::npos) << served.out;
  }
}

TEST(LspProgram, AStandardOutputThatCannotBeWrittenEndsWith3AndTheReason) {
  const Served served = serve(kInitialize + kShutdown + kExit, "/dev/full");
  EXPECT_EQ(served.status, 3);
  EXPECT_EQ(served.err, "scenario: error: cannot write standard output: No space left on device\n");
}

}  // namespace
