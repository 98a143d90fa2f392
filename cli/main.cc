// lexivane: the command-line face of the spell checker.
#include <CLI/CLI.hpp>
#include <iostream>

#include "cli/check_command.h"
#include "cli/cli_support.h"
#include "cli/replace_command.h"
#include "cli/suggest_command.h"
#include "cli/zlib_command.h"
#include "lexivane/error.h"

int main(int argc, char** argv) {
  using namespace lexivane::cli;
  CLI::App app{"lexivane: English spell checking with the embedded word list", "lexivane"};
  app.require_subcommand(1);
  CheckOptions check;
  SuggestOptions suggest;
  AddCheckCommand(app, check);
  AddSuggestCommand(app, suggest);
  ZlibOptions zlib;
  AddZlibCommand(app, zlib);
  ReplaceOptions replace;
  AddReplaceCommand(app, replace);

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& help) {
    return app.exit(help);
  } catch (const CLI::ParseError& error) {
    app.exit(error);
    return kExitError;
  }

  try {
    if (app.got_subcommand("check")) return RunCheck(check);
    if (app.got_subcommand("zlib")) return RunZlib(zlib);
    if (app.got_subcommand("replace")) return RunReplace(replace);
    return RunSuggest(suggest);
  } catch (const CommandError& error) {
    std::cerr << "lexivane: " << error.what() << '\n';
  } catch (const lexivane::Error& error) {
    std::cerr << "lexivane: " << error.what() << '\n';
  }
  return kExitError;
}
