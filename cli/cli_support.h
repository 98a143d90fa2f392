// Pieces that every lexivane command shares: reading input text, finding and loading the
// user's custom dictionary, and reporting failures with the tool's exit codes.
//
// Exit codes: 0 success (nothing found), 1 misspellings found, 2 a usage or file error.
#pragma once

#include <iosfwd>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lexivane/spell_check.h"

namespace lexivane::cli {

inline constexpr int kExitClean = 0;
inline constexpr int kExitFound = 1;
inline constexpr int kExitError = 2;

// A failure that ends the command with kExitError and a message on standard error.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One input text: a file's content, or standard input for "-". Decoded from UTF-8 (invalid
// sequences become U+FFFD). Throws CommandError when the file cannot be read.
struct InputText {
  std::string name;  // the file name as given, or "<stdin>"
  std::u16string text;
};
InputText ReadInput(const std::string& file);

// The custom dictionary the tool uses: --custom FILE when given (it must exist), otherwise
// $XDG_CONFIG_HOME/lexivane/lvscust.dic (or ~/.config/...) when that file exists, otherwise
// none. Returns the path it loaded, if any. Throws CommandError when a named file cannot be read.
std::optional<std::string> LoadCustomDictionary(SpellCheck& engine,
                                                const std::optional<std::string>& custom_file);
std::string DefaultCustomDictionaryFile();

std::string Utf8(std::u16string_view text);

}  // namespace lexivane::cli
