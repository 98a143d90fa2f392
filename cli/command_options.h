// Options that several commands of the tool take alike.
#pragma once

#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace lexivane::cli {

// Registers --custom FILE (the custom dictionary to use instead of the default file) on a
// command; an empty name is a usage error.
void AddCustomOption(CLI::App& command, std::optional<std::string>& custom_file);

}  // namespace lexivane::cli
