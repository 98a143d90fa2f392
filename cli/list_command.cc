#include "cli/list_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <new>
#include <string_view>

#include "cli/chunked_input.h"
#include "cli/cli_support.h"
#include "cli/input_text.h"
#include "cli/misspelt_words.h"
#include "cli/standard_output.h"

namespace lexivane::cli {

void AddListCommand(CLI::App& app, ListOptions& options) {
  CLI::App* list = app.add_subcommand(
      "list",
      "Print the misspelt words of texts (standard input when no file is named), one a line, "
      "in order");
  list->add_option("files", options.files, "Text files to check; - reads standard input");
  AddCustomOption(*list, options.custom_file);
  list->add_flag("-u,--unique", options.unique, "Print each misspelt word once");
}

int RunList(const ListOptions& options) {
  SpellCheck engine;
  engine.Init();
  LoadCustomDictionary(engine, options.custom_file);

  const std::vector<std::string> files =
      options.files.empty() ? std::vector<std::string>{"-"} : options.files;
  MisspeltWords misspelt(engine, options.unique);
  const auto print = [](std::string_view lines) {
    std::cout.write(lines.data(), static_cast<std::streamsize>(lines.size()));
    CheckStandardOutput();
  };
  for (const std::string& file : files) {
    try {
      InputFile input(file);
      ChunkedInput chunks(
          [&input](char* into, std::size_t most) { return input.Read(into, most); });
      misspelt.List(chunks, print);
    } catch (const std::bad_alloc&) {
      throw CommandError((file == "-" ? "<stdin>" : file) + ": not enough memory to check it");
    }
  }
  return misspelt.found() ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
