// `lexivane fix FILE`: corrects a text file word by word with the suggestions dialog, in a
// window when there is a display and on the terminal otherwise, and writes back exactly what
// the person chose without ever losing the original (see docs/cli.md).
//
// Exit codes: 0 done (the corrections were written, or there was nothing to correct),
// 1 cancelled with the file left as it was, 2 an error, the file left as it was.
#pragma once

#include "fix/correct_file.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

using frontend::fix::FixOptions;

// Registers the subcommand and its options on `app`.
void AddFixCommand(CLI::App& app, FixOptions& options);
int RunFix(const FixOptions& options);

}  // namespace lexivane::cli
