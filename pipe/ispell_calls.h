// `lexivane -a` and `lexivane pipe`: the ispell pipe protocol on standard input and output, and
// the other calls of the ispell family that editors make (`-l` list mode, `-vv`, `-list-dicts`,
// `-word-chars`, `-D`, `dicts`, `config`).
//
// These take ispell's single-dash options, which CLI11 would read as bundles of short flags, so
// main hands them over before CLI11 parses anything.
#pragma once

#include <string>
#include <vector>

namespace lexivane::frontend::ispell {

// True when the arguments (without the program name) ask for one of the ispell-style calls.
bool IsIspellCall(const std::vector<std::string>& arguments);

// Runs the call; returns the exit code. Throws CommandError on a usage error.
int RunIspellCall(const std::vector<std::string>& arguments);

}  // namespace lexivane::frontend::ispell
