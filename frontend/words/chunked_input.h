// Text read in pieces of bounded size, so that a program can walk a file of any length in little
// memory and still see every word, and every UTF-8 sequence, whole within one piece.
//
// Each piece is what was read, `chunk_size` bytes with those carried over, or everything left
// when the input ends within them. Otherwise it is cut just after its last line feed, so that its
// lines are whole; and when it has none, at its last cut point: just after an ASCII blank, or just
// before one of the ASCII characters that no word runs across (IsAsciiCutPoint: controls, and marks
// such as `-` and `/`). A blank byte, or such a character, is never part of a multi-byte sequence,
// and the words of the pieces are those of the whole text. The bytes after the cut are carried into
// the next piece. A stretch without any cut point grows the piece by `chunk_size` bytes at a time,
// up to `max_piece` bytes; a piece that reaches it is cut there anyway, between two UTF-8
// sequences (before the last lead byte of its last three), and a word across that cut is split
// in two. The last piece ends where the input ends. The first piece is never cut inside its
// first four bytes, so that it holds a whole byte order mark.
//
// One object per input and thread.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace lexivane::frontend {

class ChunkedInput {
 public:
  static constexpr std::size_t kDefaultChunkSize = std::size_t{1} << 20;
  static constexpr std::size_t kDefaultMaxPiece = std::size_t{4} << 20;

  // Reads at most `most` bytes into `into` and says how many; 0 at the end. Its exceptions
  // reach the caller of Next or TakeRest.
  using ReadSome = std::function<std::size_t(char* into, std::size_t most)>;

  // `max_piece` is at least `chunk_size`.
  explicit ChunkedInput(ReadSome read, std::size_t chunk_size = kDefaultChunkSize,
                        std::size_t max_piece = kDefaultMaxPiece);

  // The next piece, valid until the next call; false once the input is used up.
  bool Next(std::string_view& piece);

  // Everything not yet handed out by Next, read to the end.
  std::string TakeRest();

 private:
  ReadSome read_;
  std::size_t chunk_size_;
  std::size_t max_piece_;
  // Grows to at least `size` bytes, keeping those read. The bytes are not zeroed: a large
  // buffer comes from the system untouched, and only the pages that reads fill cost anything.
  void Reserve(std::size_t size);

  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t begin_ = 0;  // of the bytes not handed out yet
  std::size_t end_ = 0;    // of the bytes read
  bool at_end_ = false;
  bool first_ = true;  // no piece handed out yet
};

}  // namespace lexivane::frontend
