#include "cli/list_command.h"

#include <CLI/CLI.hpp>
#include <iostream>
#include <new>
#include <unordered_set>

#include "cli/cli_support.h"
#include "cli/input_text.h"
#include "cli/running_words.h"
#include "cli/standard_output.h"
#include "cli/word_verdicts.h"

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
  WordVerdicts verdicts(engine);
  std::unordered_set<std::u16string> printed;  // with --unique, across all the files
  bool found = false;
  for (const std::string& file : files) {
    try {
      const InputText input = ReadInput(file);
      const std::u16string_view text = input.text;
      ForEachRunningWord(text, [&](const RunningWord& word) {
        if (verdicts.Accepts(word.word)) return;
        found = true;
        const std::u16string_view as_written = text.substr(word.offset, word.length);
        if (options.unique && !printed.emplace(as_written).second) return;
        std::cout << Utf8(as_written) << '\n';
        CheckStandardOutput();
      });
    } catch (const std::bad_alloc&) {
      throw CommandError((file == "-" ? "<stdin>" : file) + ": not enough memory to check it");
    }
  }
  return found ? kExitFound : kExitClean;
}

}  // namespace lexivane::cli
