// lexivane: the command-line face of the spell checker.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/check_command.h"
#include "cli/fix_command.h"
#include "cli/init_command.h"
#include "cli/list_command.h"
#include "cli/lsp_command.h"
#include "cli/replace_command.h"
#include "cli/suggest_command.h"
#include "cli/zlib_command.h"
#include "frontend/io/command_error.h"
#include "frontend/io/standard_output.h"
#include "lexivane/error.h"
#include "lexivane/version.h"
#include "pipe/ispell_calls.h"

namespace {

using namespace lexivane::cli;
using namespace lexivane::frontend;

int Run(int argc, char** argv) {
  if (const std::vector<std::string> arguments(argv + 1, argv + argc);
      ispell::IsIspellCall(arguments)) {
    return ispell::RunIspellCall(arguments);
  }
  CLI::App app{"lexivane: English spell checking with the embedded word list", "lexivane"};
  app.require_subcommand(0, 1);
  // The ispell-style calls never reach CLI11 (see pipe_command.h); the help names them.
  app.footer(
      "lexivane -a (or lexivane pipe) speaks the ispell pipe protocol for editors; lexivane -l "
      "[FILE...] lists the misspelt words of files or standard input, as list does");
  app.set_version_flag(
      "--version", [] { return std::string("lexivane ") + lexivane::Version(); },
      "Print the version and exit");
  CheckOptions check;
  ListOptions list;
  SuggestOptions suggest;
  ZlibOptions zlib;
  ReplaceOptions replace;
  FixOptions fix;
  LspOptions lsp;
  struct Command {
    std::string_view name;
    std::function<void()> add;
    std::function<int()> run;
  };
  const Command commands[] = {
      {"check", [&] { AddCheckCommand(app, check); }, [&] { return RunCheck(check); }},
      {"list", [&] { AddListCommand(app, list); }, [&] { return RunList(list); }},
      {"suggest", [&] { AddSuggestCommand(app, suggest); }, [&] { return RunSuggest(suggest); }},
      {"zlib", [&] { AddZlibCommand(app, zlib); }, [&] { return RunZlib(zlib); }},
      {"replace", [&] { AddReplaceCommand(app, replace); }, [&] { return RunReplace(replace); }},
      {"fix", [&] { AddFixCommand(app, fix); }, [&] { return RunFix(fix); }},
      {"lsp", [&] { AddLspCommand(app, lsp); }, [&] { return RunLsp(lsp); }},
      {"init", [&] { AddInitCommand(app); }, [] { return RunInit(); }},
  };
  // Only the command named first is set up: making every command's options took longer than
  // the rest of a short `list`. Anything else (help, the version, a mistake) sees them all.
  const std::string_view first = argc > 1 ? argv[1] : "";
  const bool named =
      std::ranges::any_of(commands, [&](const Command& c) { return c.name == first; });
  for (const Command& command : commands) {
    if (!named || command.name == first) command.add();
  }

  try {
    app.parse(argc, argv);
  } catch (const CLI::Success& help_or_version) {
    return app.exit(help_or_version);
  } catch (const CLI::ParseError& error) {
    throw CommandError(std::string(error.what()) + " (see lexivane --help)");
  }

  for (const CLI::App* chosen : app.get_subcommands()) {
    for (const Command& command : commands) {
      if (chosen->get_name() == command.name) return command.run();
    }
  }
  std::cout << app.help();
  return kExitClean;
}

}  // namespace

// Every failure ends here as a message and exit code 2: nothing aborts.
int main(int argc, char** argv) {
  // A reader that went away is a failed write to report, not a signal that kills the tool.
  std::signal(SIGPIPE, SIG_IGN);
  StandardOutput output;
  int code = kExitError;
  std::optional<std::string> failure;
  try {
    code = Run(argc, argv);
  } catch (const CommandError& error) {
    failure = error.what();
  } catch (const lexivane::Error& error) {
    failure = error.what();
  } catch (const std::filesystem::filesystem_error& error) {
    failure = (error.path1().empty() ? std::string() : error.path1().string() + ": ") +
              error.code().message();
  } catch (const std::bad_alloc&) {
    failure = "out of memory";
  } catch (const std::exception& error) {
    failure = error.what();
  }
  // Every write is checked as it is made, so a standard output that has failed by now is what
  // ended the command, and the failure already says so.
  const bool output_failed = !std::cout;
  if (failure) {
    code = kExitError;
    std::cerr << "lexivane: " << *failure << '\n';
  }
  if (!failure || !output_failed) {
    try {
      output.Finish();
    } catch (const CommandError& error) {
      std::cerr << "lexivane: " << error.what() << '\n';
      code = kExitError;
    }
  }
  return code;
}
