// A soak of the language server: starts `PROGRAM lsp`, opens DIRECTORY/K_linea.txt (its train service
// K_1-.txt beside it on disk), then makes EDITS edits, each a change of the whole text and a save, and
// waits for the diagnostics of each version before the next edit. Every EVERY-th edit (100 unless given)
// it also asks for a completion and a hover. It reports the server's memory (resident set, /proc) once the opened text
// is checked and after the last edit, its peak, and the median and slowest times of the checks, the completions and the
// hovers, as the client sees them.
//   lsp_soak PROGRAM DIRECTORY EDITS [EVERY]
// Each edit changes one curve's length (a different curve and length each time), so that no check
// finds its text among those it checked before.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace {

using json = nlohmann::json;
using Clock = std::chrono::steady_clock;

[[noreturn]] void fail(const std::string& why) {
  std::fprintf(stderr, "lsp_soak: %s\n", why.c_str());
  std::exit(1);
}

/// The server as a child process, spoken to over two pipes.
class Server {
 public:
  explicit Server(const std::string& program) {
    int in[2];
    int out[2];
    if (pipe(in) != 0 || pipe(out) != 0) fail("no pipe");
    pid_ = fork();
    if (pid_ < 0) fail("no fork");
    if (pid_ == 0) {
      dup2(in[0], 0);
      dup2(out[1], 1);
      close(in[0]);
      close(in[1]);
      close(out[0]);
      close(out[1]);
      execl(program.c_str(), program.c_str(), "lsp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(in[0]);
    close(out[1]);
    to_ = in[1];
    from_ = out[0];
  }

  void send(const json& message) {
    const std::string body = message.dump();
    const std::string bytes = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    for (std::size_t done = 0; done < bytes.size();) {
      const ssize_t wrote = write(to_, bytes.data() + done, bytes.size() - done);
      if (wrote <= 0) fail("the server stopped reading");
      done += static_cast<std::size_t>(wrote);
    }
  }

  /// The next message of the server.
  json receive() {
    for (;;) {
      const std::size_t end = buffer_.find("\r\n\r\n");
      if (end != std::string::npos) {
        const std::size_t length_at = buffer_.find("Content-Length: ");
        if (length_at == std::string::npos || length_at > end) fail("a header without Content-Length");
        const std::size_t length = std::stoul(buffer_.substr(length_at + 16));
        if (buffer_.size() >= end + 4 + length) {
          json message = json::parse(buffer_.substr(end + 4, length));
          buffer_.erase(0, end + 4 + length);
          return message;
        }
      }
      char chunk[1 << 16];
      const ssize_t got = read(from_, chunk, sizeof chunk);
      if (got <= 0) fail("the server ended its output");
      buffer_.append(chunk, static_cast<std::size_t>(got));
    }
  }

  /// The first message that `wanted` accepts; those before it are dropped.
  template <typename Wanted>
  json receive_until(Wanted wanted) {
    for (;;) {
      json message = receive();
      if (wanted(message)) return message;
    }
  }

  /// A figure of /proc/PID/status, kB.
  long status_kb(const std::string& field) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);)
      if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    fail("no " + field + " for the server");
  }

  int finish() {
    close(to_);
    int status = 0;
    waitpid(pid_, &status, 0);
    close(from_);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  pid_t pid_ = -1;
  int to_ = -1;
  int from_ = -1;
  std::string buffer_;
};

std::string read_all(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) fail("cannot read " + path);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string summary(std::vector<double> times) {
  if (times.empty()) return "none";
  std::sort(times.begin(), times.end());
  char text[96];
  std::snprintf(text, sizeof text, "median %.1f ms, slowest %.1f ms (%zu)", times[times.size() / 2], times.back(),
                times.size());
  return text;
}

double mb(long kb) { return static_cast<double>(kb) / 1024.0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) {
    std::fprintf(stderr, "usage: lsp_soak PROGRAM DIRECTORY EDITS [EVERY]\n");
    return 2;
  }
  const int every = argc == 5 ? std::max(1, std::atoi(argv[4])) : 100;
  signal(SIGPIPE, SIG_IGN);
  const std::string directory = argv[2];
  const int edits = std::atoi(argv[3]);
  const std::string text = read_all(directory + "/K_linea.txt");
  const std::string uri = "file://" + directory + "/K_linea.txt";

  // The places of the curves' lengths: the third field of each line that starts with "curva".
  std::vector<std::pair<std::size_t, std::size_t>> lengths;  // offset and size of the number
  std::vector<int> curve_lines;
  int line_number = 0;
  for (std::size_t start = 0; start < text.size(); ++line_number) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (text.compare(start, 5, "curva") == 0) {
      const std::size_t comma = text.find(',', text.find(',', start) + 1);
      std::size_t number = comma + 1;
      while (text[number] == ' ') ++number;
      std::size_t after = number;
      while (after < end && text[after] >= '0' && text[after] <= '9') ++after;
      lengths.emplace_back(number, after - number);
      curve_lines.push_back(line_number);
    }
    start = end + 1;
  }
  if (lengths.empty()) fail("no curve in " + directory + "/K_linea.txt");

  Server server(argv[1]);
  int id = 0;
  server.send(
      {{"jsonrpc", "2.0"}, {"id", ++id}, {"method", "initialize"}, {"params", {{"capabilities", json::object()}}}});
  server.receive_until([&](const json& m) { return m.value("id", 0) == id; });
  server.send({{"jsonrpc", "2.0"}, {"method", "initialized"}, {"params", json::object()}});

  const auto diagnostics_of = [&](int version) {
    return [version, &uri](const json& m) {
      return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri &&
             m["params"].value("version", -1) == version;
    };
  };
  const Clock::time_point opened = Clock::now();
  server.send(
      {{"jsonrpc", "2.0"},
       {"method", "textDocument/didOpen"},
       {"params", {{"textDocument", {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", text}}}}}});
  server.receive_until(diagnostics_of(1));
  const double open_ms = ms_since(opened);
  const long at_open = server.status_kb("VmRSS");

  std::vector<double> checks, completions, hovers;
  for (int edit = 1; edit <= edits; ++edit) {
    const std::size_t curve = static_cast<std::size_t>(edit) % lengths.size();
    std::string changed = text;
    changed.replace(lengths[curve].first, lengths[curve].second, std::to_string(200 + edit % 97));
    const int version = edit + 1;
    const Clock::time_point start = Clock::now();
    server.send(
        {{"jsonrpc", "2.0"},
         {"method", "textDocument/didChange"},
         {"params",
          {{"textDocument", {{"uri", uri}, {"version", version}}}, {"contentChanges", {{{"text", changed}}}}}}});
    server.send(
        {{"jsonrpc", "2.0"}, {"method", "textDocument/didSave"}, {"params", {{"textDocument", {{"uri", uri}}}}}});
    server.receive_until(diagnostics_of(version));
    checks.push_back(ms_since(start));
    if (edit % every != 0) continue;
    const json at = {{"textDocument", {{"uri", uri}}}, {"position", {{"line", curve_lines[curve]}, {"character", 3}}}};
    for (auto [method, times] :
         {std::pair{"textDocument/completion", &completions}, std::pair{"textDocument/hover", &hovers}}) {
      const Clock::time_point asked = Clock::now();
      server.send({{"jsonrpc", "2.0"}, {"id", ++id}, {"method", method}, {"params", at}});
      const json answer = server.receive_until([&](const json& m) { return m.value("id", 0) == id; });
      if (!answer.contains("result")) fail(std::string(method) + " failed: " + answer.dump());
      times->push_back(ms_since(asked));
    }
  }
  const long at_end = server.status_kb("VmRSS");
  const long peak = server.status_kb("VmHWM");
  server.send({{"jsonrpc", "2.0"}, {"id", ++id}, {"method", "shutdown"}});
  server.receive_until([&](const json& m) { return m.value("id", 0) == id; });
  server.send({{"jsonrpc", "2.0"}, {"method", "exit"}});
  const int status = server.finish();

  std::printf("text %.1f MB, opened and checked in %.1f ms; %d edits\n", static_cast<double>(text.size()) / 1e6,
              open_ms, edits);
  std::printf("memory: %.1f MB at open, %.1f MB after the last edit, peak %.1f MB\n", mb(at_open), mb(at_end),
              mb(peak));
  std::printf("check after an edit: %s\n", summary(checks).c_str());
  std::printf("completion: %s\n", summary(completions).c_str());
  std::printf("hover: %s\n", summary(hovers).c_str());
  std::printf("exit status %d\n", status);
  return status == 0 ? 0 : 1;
}
