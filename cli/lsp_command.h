// `lexivane lsp`: the language server on standard input and output.
#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace lexivane::cli {

struct LspOptions {
  std::optional<std::string> custom_file;
  bool stdio = false;  // --stdio, which clients pass by habit: the only transport there is
};

void AddLspCommand(CLI::App& app, LspOptions& options);
int RunLsp(const LspOptions& options);

}  // namespace lexivane::cli
