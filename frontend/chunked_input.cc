#include "frontend/chunked_input.h"

#include <algorithm>
#include <utility>

#include "frontend/ascii_words.h"

namespace lexivane::frontend {

ChunkedInput::ChunkedInput(ReadSome read, std::size_t chunk_size)
    : read_(std::move(read)), chunk_size_(std::max<std::size_t>(chunk_size, 1)) {}

bool ChunkedInput::Next(std::string_view& piece) {
  // The carried bytes come after the last blank of the piece before: none is in them.
  std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(begin_),
            buffer_.begin() + static_cast<std::ptrdiff_t>(end_), buffer_.begin());
  end_ -= begin_;
  begin_ = 0;
  std::size_t searched = end_;
  std::size_t wanted = std::max(chunk_size_, end_ + 1);
  for (;;) {
    if (buffer_.size() < wanted) buffer_.resize(wanted);
    while (!at_end_ && end_ < wanted) {
      const std::size_t n = read_(buffer_.data() + end_, wanted - end_);
      at_end_ = n == 0;
      end_ += n;
    }
    for (std::size_t i = end_; i > searched; --i) {
      if (IsAsciiBlank(buffer_[i - 1])) {
        piece = std::string_view(buffer_.data(), i);
        begin_ = i;
        return true;
      }
    }
    if (at_end_) {
      piece = std::string_view(buffer_.data(), end_);
      begin_ = end_;
      return end_ > 0;
    }
    searched = end_;
    wanted = end_ + chunk_size_;
  }
}

std::string ChunkedInput::TakeRest() {
  std::string rest(buffer_.data() + begin_, end_ - begin_);
  begin_ = end_ = 0;
  if (!at_end_) {
    std::vector<char> block(chunk_size_);
    while (const std::size_t n = read_(block.data(), block.size())) rest.append(block.data(), n);
    at_end_ = true;
  }
  return rest;
}

}  // namespace lexivane::frontend
