// Text read in pieces of bounded size, each ending just after an ASCII blank, so that a program
// can walk a file of any length in little memory and still never see a word, or a UTF-8
// sequence, split between two pieces (a blank byte is never part of a multi-byte sequence, and
// no word runs across a blank).
//
// Each piece is what was read, `chunk_size` bytes with those carried over (or up to the end of
// the input), cut after its last blank; the bytes after that blank are carried into the next
// piece. A stretch without any blank grows the piece by `chunk_size` bytes at a time until a
// blank or the end comes, so memory is the chunk size plus the longest such stretch. The last piece
// ends where the input ends, blank or not. A byte order mark holds no blank, so the first piece
// holds all of one.
//
// One object per input and thread.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::frontend {

class ChunkedInput {
 public:
  static constexpr std::size_t kDefaultChunkSize = std::size_t{1} << 20;

  // Reads at most `most` bytes into `into` and says how many; 0 at the end. Its exceptions
  // reach the caller of Next or TakeRest.
  using ReadSome = std::function<std::size_t(char* into, std::size_t most)>;

  explicit ChunkedInput(ReadSome read, std::size_t chunk_size = kDefaultChunkSize);

  // The next piece, valid until the next call; false once the input is used up.
  bool Next(std::string_view& piece);

  // Everything not yet handed out by Next, read to the end.
  std::string TakeRest();

 private:
  ReadSome read_;
  std::size_t chunk_size_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // of the bytes not handed out yet
  std::size_t end_ = 0;    // of the bytes read
  bool at_end_ = false;
};

}  // namespace lexivane::frontend
