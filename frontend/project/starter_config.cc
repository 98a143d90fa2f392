#include "frontend/project/starter_config.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <system_error>

#include "frontend/io/command_error.h"
#include "frontend/project/project_configs.h"
#include "support/descriptor.h"

namespace lexivane::frontend {

std::string_view StarterConfig() {
  return R"(# Lexivane's spelling settings for the files of this folder and the folders below it, up to
# the next folder with settings of its own. Paths are relative to this file's folder.

# Words of this project, accepted in any letter case.
words = []

# Files of more such words, one a line.
# words-files = ["project-words.txt"]

# Words reported even though the word list holds them: slips that happen to be words.
# flag-words = ["teh", "recieved"]

# Files not to check, in the syntax of .gitignore.
ignore-paths = []

# The English to check for: en-US (the default), en-GB, en-CA, en-AU, or en for any of them.
# variant = "en-GB"

# Word rules switched off (or on): digits, underscores, capitals, roman, extra-words, names,
# code-words (docs/word-rules.md has them all).
# rules = { names = false }

# Check the words inside the identifiers of source code too (getValue: get, value).
# identifiers = true

# Settings for some of the files, taken after those above; of two overrides that match a
# file, the later one wins.
# [[overrides]]
# paths = ["docs/**"]
# words = ["docstring"]
)";
}

std::filesystem::path WriteStarterConfig(const std::filesystem::path& folder) {
  for (const std::string_view name : kConfigFileNames) {
    std::error_code error;
    if (std::filesystem::exists(std::filesystem::symlink_status(folder / name, error))) {
      throw CommandError(std::string(name) + " is here already; nothing was written");
    }
  }
  const std::filesystem::path file = folder / kConfigFileNames[0];
  support::Descriptor fd(::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  int error = fd.get() < 0 ? errno : support::WriteAll(fd.get(), StarterConfig());
  if (fd.get() >= 0) {
    const int closed = fd.Close();
    if (error == 0) error = closed;
    if (error != 0) ::unlink(file.c_str());
  }
  if (error == EEXIST) throw CommandError(file.string() + " is here already; nothing was written");
  if (error != 0) throw CommandError(file.string() + ": " + std::strerror(error));
  return file;
}

}  // namespace lexivane::frontend
