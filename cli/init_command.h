// `lexivane init`: writes a commented starter configuration, .lexivane.toml, in the current
// folder; never over a configuration that is there.
#pragma once

namespace CLI {
class App;
}

namespace lexivane::cli {

// Registers the subcommand on `app`.
void AddInitCommand(CLI::App& app);
int RunInit();

}  // namespace lexivane::cli
