#include "frontend/words/chunked_input.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "frontend/words/ascii_words.h"

namespace lexivane::frontend {

ChunkedInput::ChunkedInput(ReadSome read, std::size_t chunk_size, std::size_t max_piece)
    : read_(std::move(read)),
      chunk_size_(std::max<std::size_t>(chunk_size, 1)),
      max_piece_(std::max(max_piece, chunk_size_)) {}

void ChunkedInput::Reserve(std::size_t size) {
  if (size <= capacity_) return;
  auto bigger = std::make_unique_for_overwrite<char[]>(size);
  std::copy(buffer_.get(), buffer_.get() + end_, bigger.get());
  buffer_ = std::move(bigger);
  capacity_ = size;
}

bool ChunkedInput::Next(std::string_view& piece) {
  // The carried bytes come after the last cut point of the piece before: none is in them but
  // their first byte, which may be the character cut before.
  std::copy(buffer_.get() + begin_, buffer_.get() + end_, buffer_.get());
  end_ -= begin_;
  begin_ = 0;
  const std::size_t first_cut_before = first_ ? 4 : 1;  // a piece is never empty
  const auto hand_out = [&](std::size_t size) {
    piece = std::string_view(buffer_.get(), size);
    begin_ = size;
    first_ = false;
    return size > 0;
  };
  std::size_t searched = end_;
  std::size_t wanted = std::min(std::max(chunk_size_, end_ + 1), max_piece_);
  for (;;) {
    Reserve(wanted);
    while (!at_end_ && end_ < wanted) {
      const std::size_t n = read_(buffer_.get() + end_, wanted - end_);
      at_end_ = n == 0;
      end_ += n;
    }
    if (at_end_) return hand_out(end_);
    // A whole line is best: what a line says of itself (an inline directive) is read whole.
    for (std::size_t i = end_; i > searched; --i) {
      if (buffer_[i - 1] == '\n') return hand_out(i);
    }
    for (std::size_t i = end_; i > searched; --i) {
      if (IsAsciiBlank(buffer_[i - 1])) return hand_out(i);
      if (IsAsciiCutPoint(buffer_[i - 1]) && i - 1 >= first_cut_before) return hand_out(i - 1);
    }
    if (end_ >= max_piece_) {
      // Cut anyway, before a sequence that may go on past what was read.
      std::size_t cut = end_;
      for (std::size_t i = end_; i + 3 > end_ && i > first_cut_before; --i) {
        if ((static_cast<unsigned char>(buffer_[i - 1]) & 0xC0) == 0xC0) {
          cut = i - 1;
          break;
        }
      }
      return hand_out(cut);
    }
    searched = end_;
    wanted = std::min(end_ + chunk_size_, max_piece_);
  }
}

std::string ChunkedInput::TakeRest() {
  std::string rest(buffer_.get() + begin_, end_ - begin_);
  begin_ = end_ = 0;
  if (!at_end_) {
    const auto block = std::make_unique_for_overwrite<char[]>(chunk_size_);
    while (const std::size_t n = read_(block.get(), chunk_size_)) rest.append(block.get(), n);
    at_end_ = true;
  }
  return rest;
}

}  // namespace lexivane::frontend
