// Which files a walk of a directory leaves out by what they are, and why: files that are not
// text, text that no one writes by hand (lock files, minified code, source maps, armored
// keys), translations into other languages (a `.po` file whose name is no English one: its
// msgid strings are the program's own, checked where the program writes them, and the rest is
// in another language; `en.po`, `en_GB.po`, `en@quot.po` and the `.pot` template stay), and the
// lists of names a project credits (`THANKS`, `AUTHORS`, `CONTRIBUTORS`, `CREDITS`, in any
// letter case, alone or as `.md`, `.txt`, `.rst` or `.adoc`), each name of which no dictionary
// holds. Names are judged from the file name alone; the content from the first block of the file,
// read once: what checks the file goes on from there.
//
// A file named on the command line is never judged: it is checked as it is.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "frontend/io/input_text.h"

namespace lexivane::frontend {

enum class SkipReason {
  kIgnored,      // an ignore file's rule
  kHidden,       // its name starts with a dot
  kLink,         // a symbolic link, not followed
  kLockFile,     // a package manager's lock file
  kGenerated,    // minified code or a source map
  kNotText,      // an image, an archive, a compiled file, by its extension
  kBinary,       // a NUL byte or broken UTF-8 in its first block
  kArmored,      // an armored PGP or SSH key
  kTranslation,  // a translation of a program's messages into another language (`de.po`)
  kCredits,      // a list of the people a project thanks (`THANKS`, `AUTHORS`, `CONTRIBUTORS`)
  kConfigured,   // the ignore-paths of the project's configuration
  kUnchanged,    // no line of it changed (--changed)
};
inline constexpr std::size_t kSkipReasons = 12;

// What the summary calls the reason: "ignored", "lock file", ...
std::string_view SkipReasonName(SkipReason reason);

// How many files were left out for each reason.
class SkipCounts {
 public:
  void Add(SkipReason reason, std::size_t count = 1) {
    counts_[static_cast<std::size_t>(reason)] += count;
  }
  std::size_t Of(SkipReason reason) const { return counts_[static_cast<std::size_t>(reason)]; }
  std::size_t Total() const;
  void Add(const SkipCounts& other);

 private:
  std::array<std::size_t, kSkipReasons> counts_{};
};

// The reason to leave out a file by its name (the last part of its path), if any.
std::optional<SkipReason> SkipByName(std::string_view file_name);

inline constexpr std::size_t kFirstBlock = 8192;

// The reason to leave out a file whose first bytes are `first_block` (the whole file when it is
// shorter than kFirstBlock), if any. A UTF-16 or UTF-32 byte order mark makes it text, as the
// tool reads those; a UTF-8 sequence cut by the end of a full block is not broken.
std::optional<SkipReason> SkipByContent(std::string_view first_block);

// The first kFirstBlock bytes of an open file, or all of a shorter one. Throws CommandError when
// it cannot be read.
std::string ReadFirstBlock(InputFile& input);

}  // namespace lexivane::frontend
