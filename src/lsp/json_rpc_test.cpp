#include "lsp/json_rpc.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

/// Every frame the reader gives for a stream fed in pieces of `piece` bytes.
std::vector<Frame> frames_of(const std::string& stream, std::size_t piece) {
  FrameReader reader;
  std::vector<Frame> frames;
  for (std::size_t at = 0; at < stream.size(); at += piece) {
    reader.feed(std::string_view(stream).substr(at, piece));
    while (auto frame = reader.next()) frames.push_back(std::move(*frame));
  }
  return frames;
}

TEST(FrameReader, GivesTheSameMessagesWhateverPiecesTheStreamComesIn) {
  const std::string first = R"({"jsonrpc":"2.0","id":1,"method":"initialize"})";
  const std::string second = R"({"jsonrpc":"2.0","method":"initialized","params":{"text":"a\r\n\r\nb"}})";
  // Two messages joined, the second with another header field before its length and bare LF lines.
  const std::string stream = framed(first) + "Content-Type: application/vscode-jsonrpc; charset=utf-8\n" +
                             "content-length: " + std::to_string(second.size()) + "\n\n" + second;
  for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, std::size_t{30}, stream.size()}) {
    const std::vector<Frame> frames = frames_of(stream, piece);
    ASSERT_EQ(frames.size(), 2u) << "pieces of " << piece;
    EXPECT_EQ(frames[0].body, first);
    EXPECT_EQ(frames[1].body, second);
    EXPECT_TRUE(frames[0].fault.empty());
    EXPECT_TRUE(frames[1].fault.empty());
  }
}

TEST(FrameReader, AFaultyHeaderIsReportedAndTheNextMessageStillFound) {
  const std::string next = framed(R"({"id":2})");
  struct Case {
    const char* what;
    std::string stream;
    const char* fault;
  };
  const std::vector<Case> cases = {
      {"no length", "Content-Type: x\r\n\r\n" + next, "without Content-Length"},
      {"a length that is no number", "Content-Length: 12a\r\n\r\n" + next, "is no number"},
      {"a line without a colon", "hello\r\n\r\n" + next, "without \":\""},
      {"a length above the limit, its body passed over",
       "Content-Length: " + std::to_string(kMaxContentLength + 1) + "\r\n\r\n" +
           std::string(kMaxContentLength + 1, 'x') + next,
       "above the limit of 33554432 bytes"},
      {"a header line above the limit", std::string(kMaxHeaderLine + 10, 'H') + "\r\n" + next,
       "longer than 8192 bytes"},
  };
  for (const Case& c : cases) {
    const std::vector<Frame> frames = frames_of(c.stream, 4096);
    ASSERT_EQ(frames.size(), 2u) << c.what;
    EXPECT_NE(frames[0].fault.find(c.fault), std::string::npos) << c.what << ": " << frames[0].fault;
    EXPECT_EQ(frames[1].body, R"({"id":2})") << c.what;
  }
}

TEST(FrameReader, ALengthOfTwentyDigitsIsNoNumberNotAWrappedOne) {
  const std::vector<Frame> frames = frames_of("Content-Length: 18446744073709551617\r\n\r\n{}", 64);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_NE(frames[0].fault.find("is no number"), std::string::npos);
}

TEST(JsonDepth, CountsNestingOutsideStringsOnly) {
  EXPECT_EQ(json_depth(R"({"a":[1,{"b":2}]})"), 3);
  EXPECT_EQ(json_depth(R"({"a":"[[[{{{\"[["})"), 1);
  EXPECT_EQ(json_depth("[]"), 1);
  EXPECT_EQ(json_depth(std::string(100000, '['), 128), 129);
}

TEST(Serialized, FramesTheBodyAndReplacesBytesThatAreNotUtf8) {
  const std::string message = serialized(rpc_error(7, kRpcMethodNotFound, "unknown \xE9"));
  const std::string body = R"({"error":{"code":-32601,"message":"unknown )"
                           "\xEF\xBF\xBD"
                           R"("},"id":7,"jsonrpc":"2.0"})";
  EXPECT_EQ(message, "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
}

}  // namespace

namespace {

TEST(ReplaceLoneSurrogates, ReplacesOnlyHalvesOfPairsThatStandAlone) {
  struct Case {
    std::string json;
    std::string expected;
    std::size_t replaced;
  };
  const std::vector<Case> cases = {
      {R"(["a\ud83db"])", R"(["a\uFFFDb"])", 1},          // a high half alone
      {R"(["\udc00"])", R"(["\uFFFD"])", 1},              // a low half alone
      {R"(["\ud83d\ude86"])", R"(["\ud83d\ude86"])", 0},  // a whole pair stays
      {R"(["\ud83d\ud83d\ude86"])", R"(["\uFFFD\ud83d\ude86"])", 1},
      {R"(["\\ud83d"])", R"(["\\ud83d"])", 0},  // an escaped backslash, then plain letters
      {R"({"\u00e0": "\ud800"})", R"({"\u00e0": "\uFFFD"})", 1},
      {R"(["\ud83d)", R"(["\uFFFD)", 1},  // cut short: still replaced, then refused by the parser
  };
  for (const Case& c : cases) {
    std::string text = c.json;
    EXPECT_EQ(replace_lone_surrogates(text), c.replaced) << c.json;
    EXPECT_EQ(text, c.expected) << c.json;
  }
  std::string text = R"({"text": "x\ud800y"})";
  replace_lone_surrogates(text);
  EXPECT_EQ(nlohmann::json::parse(text)["text"], "x\xEF\xBF\xBDy");
}

}  // namespace

namespace {

TEST(ParsedMessage, GivesWhatTheLibrarysParserGivesAndFailsAsItDoes) {
  for (const char* text : {R"({"jsonrpc":"2.0","id":1,"params":{"a":[1,-2,3.5,true,null,"x",{"b":[]}],"a":"again"}})",
                           R"([[],{},"",0])", R"("alone")", "17"}) {
    EXPECT_EQ(parsed_message(text), nlohmann::json::parse(text)) << text;
  }
  for (const char* text : {R"({"a":)", R"({"a":1} x)", R"(["\ud800"])", ""})
    EXPECT_THROW(parsed_message(text), nlohmann::json::parse_error) << text;
}

TEST(FrameReader, ALargeBodyIsTakenWholeAndTheMessageAfterItKept) {
  const std::string large(kKeptBuffer + 10, 'x');
  const std::string body = "\"" + large + "\"";
  FrameReader reader;
  reader.feed(framed(body) + framed("{}"));
  const auto first = reader.next();
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(first->body, body);
  const auto second = reader.next();
  ASSERT_TRUE(second.has_value());
  EXPECT_EQ(second->body, "{}");
  EXPECT_FALSE(reader.next().has_value());
}

}  // namespace
