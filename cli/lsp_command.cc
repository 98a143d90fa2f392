#include "cli/lsp_command.h"

#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "cli/command_options.h"
#include "lsp/language_server.h"
#include "lsp/message_transport.h"

namespace lexivane::cli {

using namespace frontend::lsp;

void AddLspCommand(CLI::App& app, LspOptions& options) {
  CLI::App* lsp = app.add_subcommand(
      "lsp",
      "Run as a language server on standard input and output: misspelt words as diagnostics, "
      "suggestions as quick fixes (docs/lsp.md)");
  AddCustomOption(*lsp, options.custom_file);
  lsp->add_flag("--stdio", options.stdio, "Talk on standard input and output (the default)");
}

namespace {

// Hands the client's messages to the server until `exit` or the end of the input; the exit
// status. While the replies the client has not read take more than the writer's bound, the next
// message waits: a client that never reads stops being read.
int Serve(MessageReader& reader, MessageWriter& writer, LanguageServer& server) {
  std::string body;
  for (;;) {
    writer.WaitForRoom();
    switch (reader.Next(body)) {
      case MessageReader::Result::kMessage:
        if (const auto status = server.Handle(body)) return *status;
        break;
      case MessageReader::Result::kBadHeader:
      case MessageReader::Result::kTooLarge:
        // Nothing to answer: without a body there is no id. The client's next message is read.
        break;
      case MessageReader::Result::kEnd:
        return server.StatusAtEndOfInput();
    }
  }
}

}  // namespace

int RunLsp(const LspOptions& options) {
  MessageWriter writer(STDOUT_FILENO);
  ServerSettings settings;
  settings.checker.custom_dictionary = options.custom_file;
  LanguageServer server(writer, settings);
  MessageReader reader(STDIN_FILENO);
  const int status = Serve(reader, writer, server);
  // The saves asked for get as long as the client is given to take what is queued.
  const LanguageServer::Ending ending =
      server.Finish(std::chrono::steady_clock::now() + MessageWriter::kPatienceAtEnd);
  for (const std::string& report : ending.reports) std::cerr << report << std::endl;
  writer.Finish();
  // A thread still busy must not see the server destroyed: the process ends around it.
  if (!ending.stopped) std::_Exit(status);
  return status;
}

}  // namespace lexivane::cli
