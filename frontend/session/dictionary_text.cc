#include "frontend/session/dictionary_text.h"

#include <unicode/ucnv.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

#include "frontend/io/command_error.h"
#include "lexivane/letter_case.h"

namespace lexivane::frontend {

namespace {

// Lines are read in blocks of this size; a longer line grows the buffer to hold it.
constexpr std::size_t kBlock = 1 << 20;

// Windows-1252 byte by byte, as ICU maps it: the five bytes it leaves undefined become the C1
// controls of the same value, as in the engine, so that every byte survives a round trip.
struct CodePage {
  std::array<char16_t, 256> unit{};
  std::array<char16_t, 256> folded{};
};

const CodePage& Windows1252() {
  static const CodePage page = [] {
    UErrorCode status = U_ZERO_ERROR;
    const std::unique_ptr<UConverter, void (*)(UConverter*)> converter(
        ucnv_open("windows-1252", &status), ucnv_close);
    if (U_FAILURE(status)) {
      throw std::runtime_error(std::string("no Windows-1252 converter: ") + u_errorName(status));
    }
    CodePage page;
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      UChar unit[2] = {};
      status = U_ZERO_ERROR;
      ucnv_toUChars(converter.get(), unit, 2, &byte, 1, &status);
      page.unit[b] = unit[0];
      page.folded[b] = FoldCase(std::u16string_view(unit, 1))[0];
    }
    return page;
  }();
  return page;
}

}  // namespace

DictionaryLines::DictionaryLines(int fd, std::string file) : fd_(fd), file_(std::move(file)) {}

bool DictionaryLines::Next(std::string_view& line, std::string_view& end) {
  std::size_t searched = start_;
  for (;;) {
    const auto found = std::find_if(buffer_.begin() + static_cast<std::ptrdiff_t>(searched),
                                    buffer_.end(), [](char c) { return c == '\r' || c == '\n'; });
    const std::size_t at = static_cast<std::size_t>(found - buffer_.begin());
    // A CR that ends the buffer may be the first half of a CR LF.
    if (at < buffer_.size() && (at + 1 < buffer_.size() || buffer_[at] == '\n' || at_end_)) {
      const std::size_t length =
          buffer_[at] == '\r' && at + 1 < buffer_.size() && buffer_[at + 1] == '\n' ? 2 : 1;
      line = std::string_view(buffer_).substr(start_, at - start_);
      end = std::string_view(buffer_).substr(at, length);
      start_ = at + length;
      return true;
    }
    if (at_end_) {
      if (start_ == buffer_.size()) return false;
      line = std::string_view(buffer_).substr(start_);
      end = {};
      start_ = buffer_.size();
      return true;
    }
    searched = at - start_;
    buffer_.erase(0, start_);
    start_ = 0;
    Fill();
  }
}

void DictionaryLines::Fill() {
  const std::size_t used = buffer_.size();
  buffer_.resize(used + kBlock);
  for (;;) {
    const ssize_t n = ::pread(fd_, buffer_.data() + used, kBlock, read_);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      throw CommandError(file_ + ": cannot read the custom dictionary: " + std::strerror(errno));
    }
    buffer_.resize(used + static_cast<std::size_t>(n));
    read_ += n;
    at_end_ = n == 0;
    return;
  }
}

std::string EntryBytes(std::u16string_view word) {
  const CodePage& page = Windows1252();
  std::string bytes(word.size(), '?');
  for (std::size_t i = 0; i < word.size(); ++i) {
    const auto byte = std::find(page.unit.begin(), page.unit.end(), word[i]);
    if (byte != page.unit.end()) bytes[i] = static_cast<char>(byte - page.unit.begin());
  }
  return bytes;
}

std::u16string EntryKey(std::u16string_view word) {
  return FoldCase(word);
}

void EntryKey(std::string_view line_bytes, std::u16string& key) {
  const CodePage& page = Windows1252();
  key.resize(line_bytes.size());
  for (std::size_t i = 0; i < line_bytes.size(); ++i) {
    key[i] = page.folded[static_cast<unsigned char>(line_bytes[i])];
  }
}

}  // namespace lexivane::frontend
