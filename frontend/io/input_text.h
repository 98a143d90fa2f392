// The texts the tool reads: a file's content, or standard input for "-", decoded to UTF-16.
//
// A byte order mark says the encoding: EF BB BF is UTF-8 (the mark is dropped), FF FE and FE FF
// UTF-16 little- and big-endian, FF FE 00 00 and 00 00 FE FF UTF-32 little- and big-endian (so
// a UTF-16 little-endian text that begins with U+0000 reads as UTF-32). Without a mark the text
// is UTF-8. Nothing is refused: each broken piece becomes one U+FFFD, be it a maximal invalid
// UTF-8 subpart, an unpaired UTF-16 surrogate, a UTF-32 value that is no character, or the 1 to
// 3 bytes left over after the last whole code unit.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend {

// A file open for reading, or standard input for "-"; closed (standard input excepted) when the
// object goes. Both throw CommandError naming the file.
class InputFile {
 public:
  explicit InputFile(const std::string& file);
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  const std::string& name() const { return name_; }
  // Reads at most `most` bytes (a directory fails here, with EISDIR); 0 at the end.
  std::size_t Read(char* into, std::size_t most);
  // The size of a regular file, else 0.
  std::size_t SizeHint() const;

 private:
  std::string name_;  // as given, or "<stdin>"
  int fd_;
};

struct InputText {
  std::string name;  // the file name as given, or "<stdin>"
  std::u16string text;
};

// Throws CommandError naming the file when it cannot be read.
InputText ReadInput(const std::string& file);
// The same of a file open already, whose first bytes `start` were read from it (to tell what
// kind of file it is) and are not read again.
InputText ReadInput(InputFile& input, std::string start);

// A text read whole and decoded as ReadInput decodes it, for a caller that also needs the bytes
// each part was decoded from: when the file is well-formed UTF-8 (a UTF-8 byte order mark
// aside), its bytes are kept, and BytesOf finds those of a range of `text` without a second
// UTF-16 copy of the file. Otherwise (UTF-16, UTF-32, broken UTF-8, or too many characters
// outside ASCII to map cheaply) has_bytes() is false and only `text` is there.
class TextWithBytes {
 public:
  explicit TextWithBytes(const std::string& file);     // throws CommandError, as ReadInput
  TextWithBytes(InputFile& input, std::string start);  // as ReadInput of an open file

  std::u16string text;  // the caller's to change in place, its length kept

  bool has_bytes() const { return has_bytes_; }
  // The UTF-8 of text[begin, end) as it was read, given has_bytes(); ranges are taken in order
  // of `begin` most cheaply.
  std::string_view BytesOf(std::size_t begin, std::size_t end) const {
    if (marks_.empty()) return std::string_view(bytes_).substr(begin, end - begin);
    const std::size_t from = ByteAt(begin);
    return std::string_view(bytes_).substr(from, ByteAt(end) - from);
  }

 private:
  // Where each character outside ASCII ends, in `text` and in the bytes; ASCII between maps
  // one to one.
  struct Mark {
    std::size_t unit, byte;
  };
  std::size_t ByteAt(std::size_t unit) const;

  std::string bytes_;
  std::vector<Mark> marks_;
  mutable std::size_t after_ = 0;  // marks_[after_ - 1] is the last up to the place last asked
  bool has_bytes_ = false;
};

// Calls `take` for each file in turn, as `check` and `list` take their texts (no file at all
// means standard input). A file that `take` cannot read, or has too little memory for (its
// CommandError or std::bad_alloc), is reported on standard error, `lexivane: FILE: REASON`,
// and the next one is taken: one bad name does not cost the others. False when any was
// reported. A failure to write standard output ends the walk at once, thrown.
bool ForEachInputFile(const std::vector<std::string>& files,
                      const std::function<void(const std::string& file)>& take);

std::u16string DecodeText(std::string_view bytes);

}  // namespace lexivane::frontend
