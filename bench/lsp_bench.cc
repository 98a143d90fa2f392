// The language server's responsiveness on a large document, measured from outside: the real
// `lexivane lsp` process, spoken to through its standard input and output as an editor does.
//
// The document is the first 5 MB of big.txt (with a misspelt word on its first line), opened as
// plain text (argument 0), or made into Markdown and opened as such (argument 1, and
// Lsp_CodeActionAfterBurst/2): big.txt's lines with a heading every 40 lines, a code span on
// every fifth line, a link on every seventh, and a fenced code block every 200 lines. Each
// benchmark opens it and waits for its first diagnostics, then times one thing (manual time;
// diagnostics that come before an answer are passed over unread):
//   Lsp_FirstDiagnostics       didOpen to publishDiagnostics: a whole check of 5 MB, from the
//                              first byte of didOpen sent (made ready before) to the last of the
//                              diagnostics read (before the client parses them);
//   Lsp_CodeActionAfterBurst   a burst of 50 incremental didChange notifications (one letter
//                              typed on each of 50 lines, the first among them), then a code
//                              action on the first line, timed from sending the request to its
//                              answer: the worker is busy checking the changed text meanwhile;
//   Lsp_CodeActionAfterEdit    one letter typed on the first line, and once the server has
//                              taken the change, a code action there: what checking the words
//                              around the range on the spot costs, with the worker idle;
//   Lsp_CodeActionAtRest       a code action when the stored misspellings are current.
// Lsp_CodeActionAfterBurst/1 does the same on the text made one line of 5 MB (line breaks
// turned into spaces, the letters typed 100,000 characters apart).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "bench/bench_data.h"

extern char** environ;

namespace lexivane::bench {
namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDocumentBytes = 5'000'000;

std::string BigText() {
  const auto path = DataDir() / "texts" / "big.txt";
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream content;
  content << in.rdbuf();
  return "Thsi is the frist line.\n" + std::move(content).str();
}

std::string FiveMegabytes() {
  std::string text = BigText();
  text.resize(text.rfind('\n', kDocumentBytes) + 1);  // whole lines, plain ASCII
  return text;
}

// big.txt's lines dressed as Markdown, up to 5 MB of whole lines. The first line is left as it
// is, so that its misspellings stay where the code actions ask.
std::string FiveMegabytesOfMarkdown() {
  const std::string text = BigText();
  std::string markdown;
  markdown.reserve(kDocumentBytes + 4096);
  std::size_t line_number = 0;
  for (std::size_t at = 0; at < text.size() && markdown.size() < kDocumentBytes;) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    std::string line = text.substr(at, end - at);
    at = end + 1;
    const std::size_t n = line_number++;
    if (n == 0 || line.empty()) {
    } else if (n % 200 == 0) {
      markdown += "```cpp\nint frobnicate(int argc, char** argv) { return qzx(argc); }\n```\n\n";
    } else if (n % 40 == 0) {
      line = "## " + line;
    } else if (const std::size_t space = line.find(' '); space != std::string::npos) {
      const std::size_t next = std::min(line.find(' ', space + 1), line.size());
      const std::string word = line.substr(space + 1, next - space - 1);
      if (n % 5 == 0) line.replace(space + 1, word.size(), "`" + word + "_xq`");
      if (n % 7 == 0) line.replace(space + 1, word.size(), "[" + word + "](https://exmpl.org/qz)");
    }
    markdown += line;
    markdown += '\n';
  }
  markdown.resize(markdown.rfind('\n', kDocumentBytes) + 1);
  return markdown;
}

// A running `lexivane lsp` with pipes to and from it.
class Server {
 public:
  Server() {
    int to[2], from[2];
    if (::pipe(to) != 0 || ::pipe(from) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, to[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, from[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, to[1]);
    posix_spawn_file_actions_addclose(&actions, from[0]);
    // LEXIVANE_TOOL in the environment names another build of the tool, for before-and-after
    // figures from one benchmark program.
    const char* other = std::getenv("LEXIVANE_TOOL");
    std::string program_name = other && *other ? other : LEXIVANE_TOOL;
    char* program = program_name.data();
    char command[] = "lsp";
    char custom[] = "--custom=/nonexistent/lexivane-bench.dic";  // no user words
    char* argv[] = {program, command, custom, nullptr};
    if (posix_spawn(&pid_, program, &actions, nullptr, argv, environ) != 0) {
      throw std::runtime_error("cannot start " + std::string(program));
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(to[0]);
    ::close(from[1]);
    in_ = to[1];
    out_ = from[0];
    Request("initialize", {{"capabilities", Json::object()}});
    Notify("initialized", Json::object());
  }
  ~Server() {
    try {
      Request("shutdown", nullptr);
      Notify("exit", nullptr);
    } catch (const std::runtime_error&) {
      // A server that died is reported by the benchmark that found it so.
    }
    ::close(in_);
    ::close(out_);
    int status;
    ::waitpid(pid_, &status, 0);
  }

  void Notify(const std::string& method, Json params) {
    Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }
  // A notification made ready to send, so that what making it costs the client stays out of
  // the time measured.
  static std::string Framed(const std::string& method, Json params) {
    const std::string body =
        Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump();
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  }
  void SendFramed(const std::string& framed) {
    for (std::size_t done = 0; done < framed.size();) {
      const ssize_t n = ::write(in_, framed.data() + done, framed.size() - done);
      if (n <= 0) throw std::runtime_error("the server stopped reading");
      done += static_cast<std::size_t>(n);
    }
  }
  // Sends a request and reads until its answer, which it returns.
  Json Request(const std::string& method, Json params) {
    const int id = ++last_id_;
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    for (;;) {
      // Diagnostics that come first are passed over unread: reading megabytes of them is the
      // client's cost, not the answer's.
      const std::string body = ReceiveBody();
      if (body.find("\"id\":") == std::string::npos) continue;
      Json message = Json::parse(body);
      if (message.value("id", -1) == id) return message;
    }
  }
  // Reads until diagnostics for `version` come; returns when their last byte came, before the
  // client reads them (which is the client's cost), and how many there are.
  std::pair<Clock::time_point, std::size_t> AwaitDiagnostics(int version) {
    for (;;) {
      const std::string body = ReceiveBody();
      const Clock::time_point came = Clock::now();
      const Json message = Json::parse(body);
      if (message.value("method", "") == "textDocument/publishDiagnostics" &&
          message["params"].value("version", -1) == version) {
        return {came, message["params"]["diagnostics"].size()};
      }
    }
  }

 private:
  void Send(const Json& message) {
    const std::string body = message.dump();
    SendFramed("Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
  }
  Json Receive() { return Json::parse(ReceiveBody()); }
  std::string ReceiveBody() {
    std::string header;
    while (header.size() < 4 || header.compare(header.size() - 4, 4, "\r\n\r\n") != 0) {
      header += Byte();
    }
    const std::size_t length = std::stoul(header.substr(header.find(':') + 1));
    std::string body(length, '\0');
    for (std::size_t done = 0; done < length;) {
      const ssize_t n = ::read(out_, body.data() + done, length - done);
      if (n <= 0) throw std::runtime_error("the server stopped answering");
      done += static_cast<std::size_t>(n);
    }
    return body;
  }
  char Byte() {
    char c;
    if (::read(out_, &c, 1) != 1) throw std::runtime_error("the server stopped answering");
    return c;
  }

  pid_t pid_ = 0;
  int in_ = -1;
  int out_ = -1;
  int last_id_ = 0;
};

const char* const kUri = "file:///bench/big.txt";

Json CodeActionAtTheFirstWord() {
  return {{"textDocument", {{"uri", kUri}}},
          {"range",
           {{"start", {{"line", 0}, {"character", 1}}}, {"end", {{"line", 0}, {"character", 1}}}}},
          {"context", {{"diagnostics", Json::array()}}}};
}

void Open(Server& server, const std::string& text, const char* language = "plaintext") {
  server.Notify("textDocument/didOpen",
                {{"textDocument",
                  {{"uri", kUri}, {"languageId", language}, {"version", 1}, {"text", text}}}});
}

// The document of a benchmark whose argument says 0 for plain text, 1 for Markdown.
struct Document {
  explicit Document(bool markdown)
      : text(markdown ? FiveMegabytesOfMarkdown() : FiveMegabytes()),
        language(markdown ? "markdown" : "plaintext") {}
  std::string text;
  const char* language;
};

// Runs a benchmark, turning a server that stops answering (a crash shows so from here) into the
// benchmark's error instead of the whole program's end.
template <void (*Benchmark)(benchmark::State&)>
void Guarded(benchmark::State& state) {
  try {
    Benchmark(state);
  } catch (const std::exception& error) {
    state.SkipWithError(error.what());
  }
}

void SetTime(benchmark::State& state, Clock::time_point start) {
  state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
}

void Lsp_FirstDiagnostics(benchmark::State& state) {
  const Document document(state.range(0) != 0);
  const std::string open =
      Server::Framed("textDocument/didOpen", {{"textDocument",
                                               {{"uri", kUri},
                                                {"languageId", document.language},
                                                {"version", 1},
                                                {"text", document.text}}}});
  std::size_t diagnostics = 0;
  for (auto _ : state) {
    Server server;
    const auto start = Clock::now();
    server.SendFramed(open);
    const auto [came, count] = server.AwaitDiagnostics(1);
    state.SetIterationTime(std::chrono::duration<double>(came - start).count());
    diagnostics = count;
  }
  state.counters["MB"] = static_cast<double>(document.text.size()) / 1e6;
  state.counters["diagnostics"] = static_cast<double>(diagnostics);
}
BENCHMARK(Guarded<Lsp_FirstDiagnostics>)
    ->Name("Lsp_FirstDiagnostics")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

void Lsp_CodeActionAfterBurst(benchmark::State& state) {
  const bool one_line = state.range(0) == 1;
  const Document document(state.range(0) == 2);
  std::string text = document.text;
  if (one_line) std::replace(text.begin(), text.end(), '\n', ' ');
  Server server;
  Open(server, text, document.language);
  server.AwaitDiagnostics(1);
  int version = 1;
  std::size_t actions = 0;
  for (auto _ : state) {
    for (int n = 0; n < 50; ++n) {
      const Json at = one_line ? Json{{"line", 0}, {"character", n * 100'000}}
                               : Json{{"line", n * 997}, {"character", 0}};
      server.Notify("textDocument/didChange",
                    {{"textDocument", {{"uri", kUri}, {"version", ++version}}},
                     {"contentChanges",
                      Json::array({{{"range", {{"start", at}, {"end", at}}}, {"text", "x"}}})}});
    }
    const auto start = Clock::now();
    const Json answer = server.Request("textDocument/codeAction", CodeActionAtTheFirstWord());
    SetTime(state, start);
    actions = answer["result"].size();
  }
  state.counters["actions"] = static_cast<double>(actions);
}
BENCHMARK(Guarded<Lsp_CodeActionAfterBurst>)
    ->Name("Lsp_CodeActionAfterBurst")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void Lsp_CodeActionAfterEdit(benchmark::State& state) {
  const Document document(state.range(0) != 0);
  Server server;
  Open(server, document.text, document.language);
  server.AwaitDiagnostics(1);
  int version = 1;
  std::size_t actions = 0;
  for (auto _ : state) {
    const Json at = {{"line", 0}, {"character", 0}};
    server.Notify("textDocument/didChange",
                  {{"textDocument", {{"uri", kUri}, {"version", ++version}}},
                   {"contentChanges",
                    Json::array({{{"range", {{"start", at}, {"end", at}}}, {"text", "x"}}})}});
    server.Request("lexivane/none", Json::object());  // answered once the change is made
    const auto start = Clock::now();
    const Json answer = server.Request("textDocument/codeAction", CodeActionAtTheFirstWord());
    SetTime(state, start);
    actions = answer["result"].size();
  }
  state.counters["actions"] = static_cast<double>(actions);
}
BENCHMARK(Guarded<Lsp_CodeActionAfterEdit>)
    ->Name("Lsp_CodeActionAfterEdit")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

void Lsp_CodeActionAtRest(benchmark::State& state) {
  const Document document(state.range(0) != 0);
  Server server;
  Open(server, document.text, document.language);
  server.AwaitDiagnostics(1);
  std::size_t actions = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const Json answer = server.Request("textDocument/codeAction", CodeActionAtTheFirstWord());
    SetTime(state, start);
    actions = answer["result"].size();
  }
  state.counters["actions"] = static_cast<double>(actions);
}
BENCHMARK(Guarded<Lsp_CodeActionAtRest>)
    ->Name("Lsp_CodeActionAtRest")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

}  // namespace
}  // namespace lexivane::bench

int main(int argc, char** argv) {
  // A write to a server that died fails with EPIPE instead of ending the program unreported.
  std::signal(SIGPIPE, SIG_IGN);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
