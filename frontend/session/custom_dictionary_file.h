// The user's custom dictionary file as every front end uses it: which file, when a missing one
// is no dictionary, how it is loaded, and how words reach it.
//
// The file is the one the person named (--custom FILE, the pipe's -p, the language server's
// setting) or else the library's default file (DefaultCustomDictionaryPath). The default file
// is optional: while it does not exist (or a folder on its path is missing, or is a file, as
// with HOME=/dev/null) there is no dictionary. A named file must exist, unless it is one that
// saving creates (Missing::kNoneUntilMade: the pipe's personal dictionary, the server's, the
// one `fix` adds to). Any other failure to read is reported, since checking without the
// user's words would report them all.
//
// Words are added to the file as it is on disk at that moment, never by writing out one
// program's picture of it: a word another program added meanwhile stays. Every save holds
// DictionaryLock (dictionary_lock.h) from reading the file to replacing it, so saves of several
// processes or threads follow one another; where that lock cannot be had, the save fails and
// writes nothing. The file is written to a temporary file beside it and renamed over the old
// one, so it is whole at every moment.
//
// The file is Windows-1252 text, one entry a line. The engine ends a line only at CR or CR LF
// and writes CR LF; the front ends read LF, CR LF and CR alike (an LF file reaches the engine as
// a copy in memory with CR LF) and write a file in the line ends of its first line, CR LF for a
// new one, as the engine would write it otherwise (symbolic links followed, permission bits,
// owner and group kept where the process may; see dictionary_text.h for the bytes). Loading and
// saving read the file a block at a time: a save holds the words it adds and a block, whatever
// the size of the file; a load, what the engine keeps of it.
//
// Objects are values; LoadInto works on the calling thread's custom dictionary (see
// lexivane/spell_check.h); AddWords leaves every thread's in-memory dictionary alone and may be
// called from any thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "frontend/session/dictionary_lock.h"
#include "frontend/session/word_rules.h"
#include "lexivane/spell_check.h"

namespace lexivane::frontend {

// The library's default custom dictionary file in UTF-8; empty when it has no place (no home
// folder).
std::string DefaultCustomDictionaryFile();

// What tells one state of a file on disk from another: a save makes a new file (another inode),
// and a write in place changes the size or the times.
struct FileStamp {
  std::int64_t device = 0, inode = 0, size = 0;
  std::int64_t modified_ns = 0, changed_ns = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The state of the file at `path` now; nothing while it is missing or cannot be looked at.
std::optional<FileStamp> StampOf(const std::string& path);

class CustomDictionaryFile {
 public:
  enum class Missing { kRefused, kNoneUntilMade };

  explicit CustomDictionaryFile(std::optional<std::string> named,
                                Missing missing = Missing::kRefused);

  // The file meant: the named one, or the default file ("" when it has no place).
  const std::string& path() const { return path_; }
  bool named() const { return named_; }
  // True while the file is not there (and may not be: see above).
  bool IsMissing() const;

  // The file's state now; nothing while it is missing or cannot be looked at. Taken before a
  // load, it tells whether the file changed since.
  std::optional<FileStamp> Stamp() const;

  // Loads the file into the calling thread's custom dictionary. False when there is none to
  // load. Throws CommandError ("FILE: cannot read the custom dictionary: REASON") when the file
  // it means to load cannot be read. With `words`, also puts there the file's words that the
  // word rule `names` asks about (word_rules.h): names of the word list, in small letters.
  bool LoadInto(SpellCheck& engine, AcceptedNames* words = nullptr) const;

  // Adds the words that the file does not hold yet, creating it (and the default file's
  // folder) when missing; with none to add, touches nothing. A word is held when an entry
  // equals it, or the line it becomes (EntryBytes), in any letter case; a word of fewer than two
  // characters, which the word check accepts anyway, is never added. Throws CommandError when
  // the file cannot be read (the message LoadInto gives) or written ("FILE: cannot save the
  // custom dictionary: REASON", also when the lock cannot be had, see dictionary_lock.h, or
  // another process has held it for kLockPatience); the file is then as it was.
  static constexpr std::chrono::seconds kLockPatience = DictionaryLock::kPatience;
  void AddWords(const std::vector<std::u16string>& words) const;

 private:
  std::string path_;
  bool named_;
  Missing missing_;
};

}  // namespace lexivane::frontend
