// The edit that adds a word to the `words` of a project's configuration file (.lexivane.toml)
// and keeps everything else of the file as it stands: its comments, its layout, its other keys
// and tables. The word goes at the end of the top-level `words` array, written as the array's
// other entries are (one a line when they are, else on the same line); a file without one gets
// `words = ["WORD"]` before its first table, after the comments that open it. Pure functions.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lexivane::frontend {

// Replace `length` bytes at byte `offset` of the file with `text`.
struct FileEdit {
  std::size_t offset = 0;
  std::size_t length = 0;
  std::string text;
};

// Throws CommandError (naming `file_name`, with line and column) when `toml` is no valid TOML,
// or `words` is there but no array of strings. A word already in the array gives an empty edit
// at offset 0.
FileEdit AddProjectWord(std::string_view toml, std::string_view word, std::string_view file_name);

// `word` as a TOML basic string, quotes included.
std::string TomlString(std::string_view word);

}  // namespace lexivane::frontend
