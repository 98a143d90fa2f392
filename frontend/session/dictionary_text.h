// The text of a custom dictionary file as the front ends read and write it without holding it
// in memory: its lines, a block at a time, and its entries' bytes and letter case.
//
// The file is Windows-1252, one entry a line. DictionaryLines cuts it at CR LF, CR or LF alike
// (the engine itself ends a line at CR or CR LF only), and gives a last line without an end too.
// EntryBytes and EntryKey speak the engine's code page: one byte per UTF-16 code unit, "?" for
// a unit without a byte, and letter case folded as FoldCase folds it, so that two entries with
// equal keys are one word to the word check. Values; the functions are pure and any thread may
// call them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace lexivane::frontend {

class DictionaryLines {
 public:
  // Reads the open file `fd` from its start (with pread: the descriptor's offset stays), and
  // throws CommandError ("FILE: cannot read the custom dictionary: REASON") when it cannot.
  DictionaryLines(int fd, std::string file);

  // The next line without its end, and the end ("\r\n", "\r", "\n", or "" for a last line that
  // has none); false after the last line. The views last until the next call.
  bool Next(std::string_view& line, std::string_view& end);

 private:
  void Fill();

  int fd_;
  std::string file_;
  std::string buffer_;
  std::size_t start_ = 0;
  std::int64_t read_ = 0;
  bool at_end_ = false;
};

// The line an entry is written as: the word's bytes in Windows-1252.
std::string EntryBytes(std::u16string_view word);

// The word check's key of a word, or into `key` of a line's bytes: its letter case folded
// (FoldCase) after the bytes are read as Windows-1252.
std::u16string EntryKey(std::u16string_view word);
void EntryKey(std::string_view line_bytes, std::u16string& key);

}  // namespace lexivane::frontend
