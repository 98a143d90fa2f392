#include "cli/init_command.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>

#include "frontend/io/command_error.h"
#include "frontend/io/standard_output.h"
#include "frontend/project/starter_config.h"

namespace lexivane::cli {

using namespace frontend;

void AddInitCommand(CLI::App& app) {
  app.add_subcommand("init",
                     "Write a commented starter configuration, .lexivane.toml, in the current "
                     "folder (never over one that is there)");
}

int RunInit() {
  const std::filesystem::path written = WriteStarterConfig(".");
  std::cout << "wrote " << written.filename().string() << '\n';
  CheckStandardOutput();
  return kExitClean;
}

}  // namespace lexivane::cli
