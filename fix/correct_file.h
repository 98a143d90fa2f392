// `lexivane fix FILE`: corrects a text file word by word with the suggestions dialog, in a
// window when there is a display and on the terminal otherwise, and writes back exactly what
// the person chose without ever losing the original (see docs/cli.md). A document read in a
// mode has only its prose offered (DocumentProse); the rest stays byte for byte.
//
// Exit codes: 0 done (the corrections were written, or there was nothing to correct),
// 1 cancelled with the file left as it was, 2 an error (CommandError), the file left as it was.
// Main thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "frontend/modes/document_modes.h"

namespace lexivane::frontend::fix {

struct FixOptions {
  std::string file;
  std::optional<std::string> custom_file;
  std::optional<std::string> mode_name;  // none: by the file's extension
  bool terminal = false;
  bool no_backup = false;
  std::vector<std::string> rules_off;  // word rules switched off, by name
};

int CorrectFile(const FixOptions& options, DocumentMode mode);

}  // namespace lexivane::frontend::fix
