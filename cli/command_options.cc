#include "cli/command_options.h"

#include <CLI/CLI.hpp>

#include "frontend/custom_dictionary_file.h"

namespace lexivane::cli {

void AddCustomOption(CLI::App& command, std::optional<std::string>& custom_file) {
  command
      .add_option("--custom", custom_file,
                  "Custom dictionary to use instead of " + frontend::DefaultCustomDictionaryFile())
      ->check(CLI::Validator(
          [](const std::string& file) { return file.empty() ? "the file name is empty" : ""; },
          "FILE"));
}

}  // namespace lexivane::cli
