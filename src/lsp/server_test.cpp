#include "lsp/server.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "lsp/text_positions.h"
#include "source/line_table.h"
#include "source/starter_scenario.h"
#include "support/temporary_directory.h"

namespace {

using json = nlohmann::json;
using namespace std::chrono_literals;

/// A client of the server in this process, in the synchronous mode: what it sends goes through the
/// server's framing and is handled at once; what compiles is done when it asks for an answer
/// (wait_until_idle), so that every message is there when it looks, and nothing waits or polls.
class Session {
 public:
  Session()
      : server_([this](std::string_view bytes) { return take(bytes); },
                {.debounce = 200ms, .version = "test", .mode = CheckScheduler::Mode::Synchronous}) {}

  LanguageServer& server() { return server_; }

  bool send(const json& message) { return server_.receive(serialized(message)); }
  bool notify(const std::string& method, json params) {
    return send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }
  /// Sends a request and gives its answer.
  json request(int id, const std::string& method, json params = json::object()) {
    send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    return first([id](const json& m) { return m.contains("id") && m["id"] == id; }, method);
  }

  /// Once the server is idle, the first message not taken yet that `wanted` accepts, which is then taken;
  /// null, which fails the test, when there is none.
  json first(const std::function<bool(const json&)>& wanted, const std::string& what) {
    server_.wait_until_idle();
    for (std::size_t n = 0; n < messages_.size(); ++n) {
      if (!taken_[n] && wanted(messages_[n])) {
        taken_[n] = true;
        return messages_[n];
      }
    }
    ADD_FAILURE() << "no message came for " << what;
    return nullptr;
  }
  /// Once the server is idle, the publications of diagnostics for `uri` not taken yet, in order, which
  /// are then taken.
  std::vector<json> publications(const std::string& uri) {
    server_.wait_until_idle();
    std::vector<json> found;
    for (std::size_t n = 0; n < messages_.size(); ++n) {
      if (taken_[n] || messages_[n].value("method", "") != "textDocument/publishDiagnostics" ||
          messages_[n]["params"]["uri"] != uri)
        continue;
      taken_[n] = true;
      found.push_back(messages_[n]["params"]);
    }
    return found;
  }
  /// The last diagnostics published for `uri`, which must be of `version` at least.
  json diagnostics(const std::string& uri, int version = 0) {
    const std::vector<json> published = publications(uri);
    if (published.empty()) {
      ADD_FAILURE() << "no diagnostics for " << uri;
      return json::array();
    }
    EXPECT_GE(published.back().value("version", 0), version) << published.back().dump();
    return published.back()["diagnostics"];
  }

  void initialize(json capabilities = json::object()) {
    const json answer = request(0, "initialize", {{"capabilities", std::move(capabilities)}});
    ASSERT_TRUE(answer.contains("result")) << answer.dump();
    notify("initialized", json::object());
  }

  void open(const std::string& uri, const std::string& text, int version = 1) {
    notify("textDocument/didOpen",
           {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", version}, {"text", text}}}});
  }
  void change(const std::string& uri, const std::string& text, int version) {
    notify("textDocument/didChange", {{"textDocument", {{"uri", uri}, {"version", version}}},
                                      {"contentChanges", json::array({{{"text", text}}})}});
  }

 private:
  bool take(std::string_view bytes) {
    frames_.feed(bytes);
    while (auto frame = frames_.next()) {
      messages_.push_back(json::parse(frame->body));
      taken_.push_back(false);
    }
    return true;
  }

  FrameReader frames_;
  std::vector<json> messages_;
  std::vector<bool> taken_;
  LanguageServer server_;  // last: it is made after the members its writer fills
};

json at(int line, int character) { return {{"line", line}, {"character", character}}; }

json position_params(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}}, {"position", at(line, character)}};
}

/// The 0-based line of a text that holds `needle`.
int line_of(const std::string& text, const std::string& needle) {
  const std::size_t found = text.find(needle);
  EXPECT_NE(found, std::string::npos) << needle;
  int line = 0;
  for (std::size_t i = 0; i < found && found != std::string::npos; ++i) line += text[i] == '\n';
  return line;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t found = text.find(from);
  EXPECT_NE(found, std::string::npos) << from;
  if (found != std::string::npos) text.replace(found, from.size(), to);
  return text;
}

const json* with_code(const json& diagnostics, const std::string& code) {
  for (const json& diagnostic : diagnostics)
    if (diagnostic.value("code", "") == code) return &diagnostic;
  return nullptr;
}

/// The starter scenario, its line description with a second speed board in the first one's cell (E21)
/// and its service with a signal in that cell too (E16, the board's entry a related place).
struct Scenario {
  test_support::TemporaryDirectory directory{"scenario-lsp"};
  std::string line = replaced(encode_lines(starter_line_lines()), "indicatori_vmax,  2950", "indicatori_vmax,   850");
  std::string service = replaced(encode_lines(starter_service_lines()), "segnale,    1800", "segnale,     850");
  std::string line_uri = uri_of_path(directory.at("Demo_linea.txt"));
  std::string service_uri = uri_of_path(directory.at("Demo_1-.txt"));
};

/// A session with the scenario's train service open, beside its line description on disk without the
/// board's mistake, and the diagnostics of the opening taken.
struct OpenService {
  Scenario scenario;
  Session session;
  json opened;

  OpenService() {
    scenario.directory.write("Demo_linea.txt", encode_lines(starter_line_lines()));
    session.initialize();
    session.open(scenario.service_uri, scenario.service);
    opened = session.diagnostics(scenario.service_uri);
  }
};

TEST(LanguageServer, TheLifecycleRefusesWhatComesOutOfTurnAndEndsWithTheRightStatus) {
  Session session;
  const json early = session.request(1, "textDocument/hover", position_params("file:///x/K_linea.txt", 0, 0));
  EXPECT_EQ(early["error"]["code"], kRpcServerNotInitialized);

  const json answer = session.request(2, "initialize", {{"capabilities", json::object()}});
  const json& capabilities = answer["result"]["capabilities"];
  EXPECT_EQ(capabilities["positionEncoding"], "utf-16");
  EXPECT_EQ(capabilities["textDocumentSync"]["change"], 1);
  EXPECT_EQ(capabilities["hoverProvider"], true);
  EXPECT_EQ(capabilities["documentSymbolProvider"], true);
  EXPECT_EQ(capabilities["completionProvider"]["triggerCharacters"].size(), 52u);
  EXPECT_EQ(answer["result"]["serverInfo"]["name"], "scenario");
  EXPECT_EQ(session.request(3, "initialize")["error"]["code"], kRpcInvalidRequest);

  EXPECT_TRUE(session.request(4, "shutdown").contains("result"));
  EXPECT_EQ(
      session.request(5, "textDocument/documentSymbol", {{"textDocument", {{"uri", "file:///x"}}}})["error"]["code"],
      kRpcInvalidRequest);
  EXPECT_FALSE(session.notify("exit", json::object()));
  EXPECT_EQ(session.server().exit_status(), 0);

  Session abrupt;
  abrupt.initialize();
  EXPECT_FALSE(abrupt.notify("exit", json::object()));
  EXPECT_EQ(abrupt.server().exit_status(), 1);
}

TEST(LanguageServer, MessagesSplitIntoSingleBytesOrJoinedInOneReadAreAllAnswered) {
  Session session;
  const std::string first =
      serialized({{"jsonrpc", "2.0"}, {"id", 1}, {"method", "initialize"}, {"params", json::object()}});
  for (const char byte : first) session.server().receive(std::string_view(&byte, 1));
  EXPECT_TRUE(session.first([](const json& m) { return m["id"] == 1; }, "initialize").contains("result"));

  const json unknown = {{"jsonrpc", "2.0"}, {"id", 2}, {"method", "workspace/unknown"}};
  const json symbols = {{"jsonrpc", "2.0"},
                        {"id", 3},
                        {"method", "textDocument/documentSymbol"},
                        {"params", {{"textDocument", {{"uri", "file:///x/notes.txt"}}}}}};
  session.server().receive(serialized(unknown) + serialized(symbols));
  EXPECT_EQ(session.first([](const json& m) { return m["id"] == 2; }, "the unknown method")["error"]["code"],
            kRpcMethodNotFound);
  EXPECT_EQ(session.first([](const json& m) { return m["id"] == 3; }, "the symbols")["result"], json::array());
}

TEST(LanguageServer, MalformedMessagesGetAnErrorAndTheServerGoesOn) {
  Session session;
  session.initialize();
  struct Case {
    const char* what;
    std::string bytes;
    int code;
  };
  const std::string deep = std::string(200, '[') + std::string(200, ']');
  const std::vector<Case> cases = {
      {"no JSON", framed("{\"jsonrpc\": \"2.0\", \"id\": 9, "), kRpcParseError},
      {"an array", framed("[1, 2]"), kRpcInvalidRequest},
      {"an object as id", framed(R"({"jsonrpc":"2.0","id":{},"method":"shutdown"})"), kRpcInvalidRequest},
      {"no method", framed(R"({"jsonrpc":"2.0","id":4})"), kRpcInvalidRequest},
      {"another version", framed(R"({"jsonrpc":"1.0","id":5,"method":"shutdown"})"), kRpcInvalidRequest},
      {"nesting too deep", framed(deep), kRpcInvalidRequest},
      {"params of the wrong type",
       framed(
           R"({"jsonrpc":"2.0","id":6,"method":"textDocument/hover","params":{"textDocument":{"uri":5},"position":"x"}})"),
       kRpcInvalidParams},
      {"a position beyond every whole number",
       framed(
           R"({"jsonrpc":"2.0","id":8,"method":"textDocument/completion","params":{"textDocument":{"uri":"file:///K_linea.txt"},"position":{"line":1e300,"character":0}}})"),
       kRpcInvalidParams},
      {"params that are a number", framed(R"({"jsonrpc":"2.0","id":7,"method":"textDocument/completion","params":3})"),
       kRpcInvalidParams},
      {"a Content-Length above the limit",
       "Content-Length: " + std::to_string(kMaxContentLength + 1) + "\r\n\r\n" +
           std::string(kMaxContentLength + 1, '{'),
       kRpcInvalidRequest},
  };
  int id = 100;
  for (const Case& c : cases) {
    EXPECT_TRUE(session.server().receive(c.bytes)) << c.what;
    const json error = session.first([](const json& m) { return m.contains("error"); }, c.what);
    EXPECT_EQ(error["error"]["code"], c.code) << c.what << ": " << error.dump();
    // The server still answers: an unknown notification is passed over in silence, the request after it
    // is the next thing answered.
    session.notify("$/somethingNew", {{"x", 1}});
    const json next = session.request(++id, "shutdown-not", json::object());
    EXPECT_EQ(next["error"]["code"], kRpcMethodNotFound) << c.what;
  }
}

TEST(LanguageServer, EachFileOfAPairGetsItsOwnDiagnosticsAndAChangeChecksAgain) {
  Scenario scenario;
  // On disk the line description has no mistake; open, it has one: the open text is what is checked.
  scenario.directory.write("Demo_linea.txt", encode_lines(starter_line_lines()));
  scenario.directory.write("Demo_1-.txt", scenario.service);
  Session session;
  session.initialize({{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}});

  session.open(scenario.service_uri, scenario.service);
  const json alone = session.diagnostics(scenario.service_uri);
  const json* signal = with_code(alone, "E16");
  ASSERT_NE(signal, nullptr) << alone.dump(1);
  EXPECT_EQ((*signal)["severity"], 1);
  EXPECT_EQ((*signal)["source"], "scenario");
  const int signal_line = line_of(scenario.service, "segnale,     850");
  EXPECT_EQ((*signal)["range"]["start"], at(signal_line, 13));
  EXPECT_EQ((*signal)["range"]["end"], at(signal_line, 16));
  const std::string disk_line = encode_lines(starter_line_lines());
  const json& related = (*signal)["relatedInformation"][0]["location"];
  EXPECT_EQ(related["uri"], scenario.line_uri);
  EXPECT_EQ(related["range"]["start"], at(line_of(disk_line, "indicatori_vmax,  850"), 0));

  session.open(scenario.line_uri, scenario.line);
  const json line = session.diagnostics(scenario.line_uri);
  const json* board = with_code(line, "E21");
  ASSERT_NE(board, nullptr) << line.dump(1);
  EXPECT_EQ((*board)["range"]["start"]["line"], line_of(scenario.line, "indicatori_vmax,   850"));
  EXPECT_EQ(with_code(line, "E16"), nullptr);
  EXPECT_NE(with_code(session.diagnostics(scenario.service_uri), "E16"), nullptr);

  // The signal moved off the board: the service's diagnostics clear, in a publication of the new version.
  session.change(scenario.service_uri, replaced(scenario.service, "segnale,     850", "segnale,    1800"), 2);
  const json fixed = session.diagnostics(scenario.service_uri, 2);
  EXPECT_EQ(with_code(fixed, "E16"), nullptr) << fixed.dump(1);

  session.notify("textDocument/didClose", {{"textDocument", {{"uri", scenario.line_uri}}}});
  const std::vector<json> cleared = session.publications(scenario.line_uri);
  ASSERT_FALSE(cleared.empty());
  EXPECT_TRUE(cleared.back()["diagnostics"].empty());
  EXPECT_FALSE(cleared.back().contains("version"));
}

TEST(LanguageServer, ATrainServiceWithoutItsLineDescriptionGetsError101) {
  Scenario scenario;
  Session session;
  session.initialize();
  session.open(scenario.service_uri, scenario.service);
  const json diagnostics = session.diagnostics(scenario.service_uri);
  ASSERT_EQ(diagnostics.size(), 1u) << diagnostics.dump(1);
  EXPECT_EQ(diagnostics[0]["code"], "E101");
  EXPECT_NE(diagnostics[0]["message"].get<std::string>().find("Demo_linea.txt"), std::string::npos);
}

TEST(LanguageServer, PositionsCountUtf8BytesWhenTheEditorOffersThem) {
  Scenario scenario;
  scenario.directory.write("Demo_linea.txt", encode_lines(starter_line_lines()));
  // A station named with an accented letter, then a mistake further on its line.
  const std::string service = replaced(replaced(scenario.service, "segnale,     850", "segnale,    1800"),
                                       "16, 0, 0, PORTO NUOVO", "16, 99, 0, CITT\xC3\x80");
  for (const bool utf8 : {true, false}) {
    Session session;
    session.initialize(utf8 ? json{{"general", {{"positionEncodings", {"utf-8"}}}}} : json::object());
    session.open(scenario.service_uri, service);
    const json diagnostics = session.diagnostics(scenario.service_uri);
    const json* time = with_code(diagnostics, "time-out-of-range");
    ASSERT_NE(time, nullptr) << diagnostics.dump(1);
    EXPECT_EQ((*time)["range"]["start"], at(line_of(service, "CITT"), 0));
    // The hover's range ends after the name: 4 letters and the accented one, 2 bytes in UTF-8.
    const json hover =
        session.request(1, "textDocument/hover", position_params(scenario.service_uri, line_of(service, "CITT"), 3));
    const std::string line_text =
        service.substr(service.find("stazione,     650"), service.find("CITT") + 6 - service.find("stazione,     650"));
    EXPECT_EQ(hover["result"]["range"]["end"]["character"], static_cast<int>(line_text.size()) - (utf8 ? 0 : 1))
        << utf8;
  }
}

TEST(LanguageServer, HoverTellsTheCellsAnEntryTakesAndWhatHoldsTheOnesAnotherEntryTook) {
  OpenService open;
  Scenario& scenario = open.scenario;
  Session& session = open.session;

  const int signal_line = line_of(scenario.service, "segnale,     850");
  const json taken = session.request(1, "textDocument/hover", position_params(scenario.service_uri, signal_line, 2));
  ASSERT_TRUE(taken["result"].is_object()) << taken.dump();
  const std::string text = taken["result"]["contents"]["value"];
  EXPECT_EQ(taken["result"]["contents"]["kind"], "markdown");
  const int board_line = line_of(encode_lines(starter_line_lines()), "indicatori_vmax,  850") + 1;
  EXPECT_NE(text.find("cell 18 (850 m, km 4.150): taken by the speed board at 850 m (the line description, line " +
                      std::to_string(board_line) + ")"),
            std::string::npos)
      << text;
  EXPECT_EQ(taken["result"]["range"]["start"], at(signal_line, 0));

  const json station = session.request(2, "textDocument/hover",
                                       position_params(scenario.service_uri, line_of(scenario.service, "MOLINO"), 0));
  const std::string station_text = station["result"]["contents"]["value"];
  EXPECT_NE(station_text.find("record 2: `MOLINO` at 2450 m (km 2.550), timetable time 16:03:00"), std::string::npos)
      << station_text;
  EXPECT_NE(station_text.find("this station's mark"), std::string::npos) << station_text;

  const json speed =
      session.request(3, "textDocument/hover",
                      position_params(scenario.service_uri, line_of(scenario.service, "velocita,    3000"), 1));
  const std::string speed_text = speed["result"]["contents"]["value"];
  EXPECT_NE(speed_text.find("from cell 60 (3000 m, km 2.000): line speed 90 km/h"), std::string::npos) << speed_text;

  const json comment = session.request(
      4, "textDocument/hover", position_params(scenario.service_uri, line_of(scenario.service, "[stazioni]"), 2));
  EXPECT_TRUE(comment["result"].is_null());
}

TEST(LanguageServer, CompletionOffersTheKeywordsOfTheSectionAtTheCursor) {
  Scenario scenario;
  Session session;
  session.initialize({{"textDocument", {{"completion", {{"completionItem", {{"snippetSupport", true}}}}}}}});
  session.open(scenario.line_uri, scenario.line);
  session.open(scenario.service_uri, scenario.service);
  const auto labels = [&](const std::string& uri, int line, int character) {
    const json answer =
        session.request(line * 1000 + character, "textDocument/completion", position_params(uri, line, character));
    std::vector<std::string> names;
    for (const json& item : answer["result"]["items"]) names.push_back(item["label"]);
    return std::make_pair(names, answer["result"]["items"]);
  };
  const auto has = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };

  const auto [general, general_items] = labels(scenario.line_uri, line_of(scenario.line, "-- first background"), 0);
  EXPECT_TRUE(has(general, "lunghezza percorso"));
  EXPECT_TRUE(has(general, "progressiva chilometrica uno"));
  EXPECT_FALSE(has(general, "pendenza"));

  const int gradient_line = line_of(scenario.line, "pendenza,  1500");
  const auto [entries, entry_items] = labels(scenario.line_uri, gradient_line, 4);
  EXPECT_TRUE(has(entries, "pendenza"));
  EXPECT_FALSE(has(entries, "lunghezza percorso"));
  for (const json& item : entry_items) {
    if (item["label"] != "pendenza") continue;
    EXPECT_EQ(item["insertTextFormat"], 2);
    EXPECT_EQ(item["textEdit"]["newText"], "pendenza, ${1:position}, ${2:gradient}");
    EXPECT_EQ(item["textEdit"]["range"]["start"], at(gradient_line, 0));
    EXPECT_EQ(item["textEdit"]["range"]["end"], at(gradient_line, 4));
  }

  const auto [service, service_items] = labels(scenario.service_uri, line_of(scenario.service, "[segnali]"), 0);
  EXPECT_TRUE(has(service, "segnale"));
  EXPECT_TRUE(has(service, "stazione"));
  EXPECT_FALSE(has(service, "pendenza"));

  EXPECT_EQ(labels(scenario.service_uri, 0, 3).first, std::vector<std::string>{"[generale]"});
  EXPECT_TRUE(labels(scenario.line_uri, gradient_line, 12).first.empty());  // among the values
}

TEST(LanguageServer, DocumentSymbolsShowSectionsStationsSignalsSlowdownsAndBoards) {
  Scenario scenario;
  for (const bool hierarchical : {true, false}) {
    Session session;
    session.initialize({{"textDocument", {{"documentSymbol", {{"hierarchicalDocumentSymbolSupport", hierarchical}}}}}});
    session.open(scenario.service_uri, scenario.service);
    session.open(scenario.line_uri, scenario.line);
    std::vector<std::string> names;
    const json service =
        session.request(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", scenario.service_uri}}}});
    const json line =
        session.request(2, "textDocument/documentSymbol", {{"textDocument", {{"uri", scenario.line_uri}}}});
    for (const json* answer : {&service, &line}) {
      for (const json& symbol : (*answer)["result"]) {
        names.push_back(symbol["name"]);
        if (hierarchical)
          for (const json& child : symbol["children"])
            names.push_back(symbol["name"].get<std::string>() + "/" + child["name"].get<std::string>());
        else
          EXPECT_TRUE(symbol.contains("location"));
      }
    }
    const std::string prefix = hierarchical ? "[stazioni]/" : "";
    for (const std::string& expected :
         {prefix + "PORTO NUOVO", prefix + "MOLINO", prefix + "VALLE ALTA",
          (hierarchical ? "[segnali]/" : "") + std::string("segnale 850 m"),
          (hierarchical ? "[rallentamenti]/" : "") + std::string("rallentamento 3800 m"),
          (hierarchical ? "[cartelli]/" : "") + std::string("indicatori_vmax 850 m"),
          (hierarchical ? "[indicazioni]/" : "") + std::string("PONTE FIUME VERDE"), std::string("[curve]")})
      EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end())
          << expected << (hierarchical ? " (tree)" : " (flat)");
  }
}

}  // namespace

namespace {

TEST(LanguageServer, ShutdownAndExitAreTakenWithParamsThatAreNullOrLeftOut) {
  for (const char* params : {R"(,"params":null)", ""}) {
    Session session;
    session.initialize();
    session.server().receive(framed(std::string(R"({"jsonrpc":"2.0","id":7,"method":"shutdown")") + params + "}"));
    const json answer = session.first([](const json& m) { return m.contains("id") && m["id"] == 7; }, "shutdown");
    EXPECT_TRUE(answer.contains("result")) << answer.dump();
    EXPECT_FALSE(session.server().receive(framed(std::string(R"({"jsonrpc":"2.0","method":"exit")") + params + "}")));
    EXPECT_EQ(session.server().exit_status(), 0) << params;
  }
  // A method that needs its params still refuses null ones.
  Session session;
  session.initialize();
  session.server().receive(framed(R"({"jsonrpc":"2.0","id":8,"method":"textDocument/hover","params":null})"));
  EXPECT_EQ(session.first([](const json& m) { return m.contains("id") && m["id"] == 8; }, "hover")["error"]["code"],
            kRpcInvalidParams);
}

TEST(LanguageServer, ADocumentClosedAndOpenedAgainInOneWriteEndsWithTheDiagnosticsOfItsOpening) {
  OpenService service;
  Scenario& scenario = service.scenario;
  Session& session = service.session;
  EXPECT_NE(with_code(service.opened, "E16"), nullptr);

  // As editors do when a file is reverted or its language changes: both messages in one write.
  const json close = {{"jsonrpc", "2.0"},
                      {"method", "textDocument/didClose"},
                      {"params", {{"textDocument", {{"uri", scenario.service_uri}}}}}};
  const json open = {
      {"jsonrpc", "2.0"},
      {"method", "textDocument/didOpen"},
      {"params",
       {{"textDocument",
         {{"uri", scenario.service_uri}, {"languageId", "scenario"}, {"version", 2}, {"text", scenario.service}}}}}};
  session.server().receive(serialized(close) + serialized(open));
  const std::vector<json> published = session.publications(scenario.service_uri);
  ASSERT_EQ(published.size(), 2u);
  EXPECT_TRUE(published[0]["diagnostics"].empty());  // the close's
  EXPECT_EQ(published[1]["version"], 2);
  EXPECT_NE(with_code(published[1]["diagnostics"], "E16"), nullptr) << published[1].dump();

  // Opened and closed in one write, the last word is the close's.
  session.server().receive(serialized(open) + serialized(close));
  const std::vector<json> closed = session.publications(scenario.service_uri);
  ASSERT_FALSE(closed.empty());
  EXPECT_TRUE(closed.back()["diagnostics"].empty());
}

TEST(LanguageServer, ALoneSurrogateInAnOpenedTextIsReadAsTheReplacementCharacter) {
  Scenario scenario;
  scenario.directory.write("Demo_linea.txt", encode_lines(starter_line_lines()));
  Session session;
  session.initialize();
  // The JSON of didOpen as a JavaScript editor writes it: half of a surrogate pair before "MOLINO".
  std::string text = json(scenario.service).dump();
  text.insert(text.find("MOLINO"), "\\ud83d");
  session.server().receive(
      framed(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":")" +
             scenario.service_uri + R"(","languageId":"scenario","version":1,"text":)" + text + "}}}"));
  const json diagnostics = session.diagnostics(scenario.service_uri);
  const json* refused = with_code(diagnostics, "input-encoding");
  ASSERT_NE(refused, nullptr) << diagnostics.dump(1);
  EXPECT_NE((*refused)["message"].get<std::string>().find("U+FFFD"), std::string::npos) << refused->dump();
  EXPECT_EQ((*refused)["range"]["start"],
            at(line_of(scenario.service, "MOLINO"),
               static_cast<int>(scenario.service.find("MOLINO") -
                                scenario.service.rfind('\n', scenario.service.find("MOLINO")) - 1)));
}

TEST(LanguageServer, CompletionWithoutSnippetSupportInsertsTheKeywordAlone) {
  Scenario scenario;
  Session session;
  session.initialize();
  session.open(scenario.line_uri, scenario.line);
  const int gradient_line = line_of(scenario.line, "pendenza,  1500");
  const json answer =
      session.request(1, "textDocument/completion", position_params(scenario.line_uri, gradient_line, 4));
  bool found = false;
  for (const json& item : answer["result"]["items"]) {
    if (item["label"] != "pendenza") continue;
    found = true;
    EXPECT_EQ(item["insertTextFormat"], 1);
    EXPECT_EQ(item["textEdit"]["newText"], "pendenza");
  }
  EXPECT_TRUE(found) << answer.dump();
}

}  // namespace
