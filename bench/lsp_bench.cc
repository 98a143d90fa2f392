// The language server's responsiveness on a large document, measured from outside: the real
// `lexivane lsp` process, spoken to through its standard input and output as an editor does.
//
// The document is the first 5 MB of big.txt (with a misspelt word on its first line). Each
// benchmark opens it and waits for its first diagnostics, then times one thing (manual time):
//   Lsp_FirstDiagnostics       didOpen to publishDiagnostics: a whole check of 5 MB, with the
//                              suggestions of every distinct misspelling;
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
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "bench/bench_data.h"

extern char** environ;

namespace lexivane::bench {
namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kDocumentBytes = 5'000'000;

std::string FiveMegabytes() {
  const auto path = DataDir() / "texts" / "big.txt";
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream content;
  content << in.rdbuf();
  std::string text = "Thsi is the frist line.\n" + std::move(content).str();
  text.resize(text.rfind('\n', kDocumentBytes) + 1);  // whole lines, plain ASCII
  return text;
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
    Request("shutdown", nullptr);
    Notify("exit", nullptr);
    ::close(in_);
    ::close(out_);
    int status;
    ::waitpid(pid_, &status, 0);
  }

  void Notify(const std::string& method, Json params) {
    Send({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }
  // Sends a request and reads until its answer, which it returns.
  Json Request(const std::string& method, Json params) {
    const int id = ++last_id_;
    Send({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
    for (;;) {
      Json message = Receive();
      if (message.value("id", -1) == id) return message;
    }
  }
  // Reads until diagnostics for `version` come.
  void AwaitDiagnostics(int version) {
    for (;;) {
      const Json message = Receive();
      if (message.value("method", "") == "textDocument/publishDiagnostics" &&
          message["params"].value("version", -1) == version) {
        return;
      }
    }
  }

 private:
  void Send(const Json& message) {
    const std::string body = message.dump();
    const std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
    for (std::size_t done = 0; done < framed.size();) {
      const ssize_t n = ::write(in_, framed.data() + done, framed.size() - done);
      if (n <= 0) throw std::runtime_error("the server stopped reading");
      done += static_cast<std::size_t>(n);
    }
  }
  Json Receive() {
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
    return Json::parse(body);
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

void Open(Server& server, const std::string& text) {
  server.Notify("textDocument/didOpen",
                {{"textDocument",
                  {{"uri", kUri}, {"languageId", "plaintext"}, {"version", 1}, {"text", text}}}});
}

void SetTime(benchmark::State& state, Clock::time_point start) {
  state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
}

void Lsp_FirstDiagnostics(benchmark::State& state) {
  const std::string text = FiveMegabytes();
  for (auto _ : state) {
    Server server;
    const auto start = Clock::now();
    Open(server, text);
    server.AwaitDiagnostics(1);
    SetTime(state, start);
  }
  state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(Lsp_FirstDiagnostics)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void Lsp_CodeActionAfterBurst(benchmark::State& state) {
  const bool one_line = state.range(0) != 0;
  std::string text = FiveMegabytes();
  if (one_line) std::replace(text.begin(), text.end(), '\n', ' ');
  Server server;
  Open(server, text);
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
BENCHMARK(Lsp_CodeActionAfterBurst)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void Lsp_CodeActionAfterEdit(benchmark::State& state) {
  const std::string text = FiveMegabytes();
  Server server;
  Open(server, text);
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
BENCHMARK(Lsp_CodeActionAfterEdit)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

void Lsp_CodeActionAtRest(benchmark::State& state) {
  const std::string text = FiveMegabytes();
  Server server;
  Open(server, text);
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
BENCHMARK(Lsp_CodeActionAtRest)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);

}  // namespace
}  // namespace lexivane::bench

BENCHMARK_MAIN();
