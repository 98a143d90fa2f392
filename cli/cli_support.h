// Pieces that every lexivane command shares: finding and loading the user's custom dictionary,
// and reporting failures with the tool's exit codes.
//
// Exit codes: 0 success (nothing found), 1 misspellings found, 2 a usage or file error.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "lexivane/spell_check.h"

namespace CLI {
class App;
}

namespace lexivane::cli {

inline constexpr int kExitClean = 0;
inline constexpr int kExitFound = 1;
inline constexpr int kExitError = 2;

// A failure that ends the command with kExitError and a message on standard error.
class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The custom dictionary the tool uses: --custom FILE when given (it must be readable),
// otherwise the library's default file (DefaultCustomDictionaryPath) when that exists,
// otherwise none. Returns the path it loaded, if any. Throws CommandError, with the system's
// reason, when the file it means to load cannot be read.
std::optional<std::string> LoadCustomDictionary(SpellCheck& engine,
                                                const std::optional<std::string>& custom_file);
std::string DefaultCustomDictionaryFile();

// For a custom dictionary that saving creates (the pipe's personal dictionary, the language
// server's): a file named but not made yet is none (""), which LoadCustomDictionary takes as no
// dictionary. Any other name, and no name, come back as they are.
std::optional<std::string> NoneUntilMade(const std::optional<std::string>& custom_file);

// Registers --custom FILE on a command; an empty name is a usage error.
void AddCustomOption(CLI::App& command, std::optional<std::string>& custom_file);

std::string Utf8(std::u16string_view text);

// Connects a sink to an engine for as long as it lives, so that the engine never keeps a
// pointer to a sink that is gone, however a run ends.
class SinkConnection {
 public:
  SinkConnection(SpellCheck& engine, SpellCheckEvents& sink) : engine_(engine), sink_(sink) {
    engine_.Advise(&sink_);
  }
  SinkConnection(const SinkConnection&) = delete;
  SinkConnection& operator=(const SinkConnection&) = delete;
  ~SinkConnection() { engine_.Unadvise(&sink_); }

 private:
  SpellCheck& engine_;
  SpellCheckEvents& sink_;
};

}  // namespace lexivane::cli
