#include "frontend/io/input_text.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iostream>
#include <new>
#include <optional>

#include "frontend/io/command_error.h"
#include "lexivane/utf8.h"
#include "support/utf16.h"

namespace lexivane::frontend {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Reserves room for `units` and, for a large text, has the kernel map all its pages at once: one
// page fault each as the text is written would cost more (a tenth of listing a large file).
// Where the kernel cannot (before Linux 5.14), the pages come one fault at a time as before.
void ReserveMapped(std::u16string& text, std::size_t units) {
  text.reserve(units);
#if defined(MADV_POPULATE_WRITE)
  constexpr std::uintptr_t kPage = 4096;
  if (units * sizeof(char16_t) < 16 * kPage) return;
  const auto start = reinterpret_cast<std::uintptr_t>(text.data());
  const std::uintptr_t first = (start + kPage - 1) & ~(kPage - 1);
  const std::uintptr_t last = (start + text.capacity() * sizeof(char16_t)) & ~(kPage - 1);
  if (last > first) ::madvise(reinterpret_cast<void*>(first), last - first, MADV_POPULATE_WRITE);
#endif
}

// Read straight into the string, not through a buffer: a large file is not copied twice. The
// byte past the size expected leaves room for the read that finds the end.
// `start` (the bytes read from it already), then the rest of the input.
std::string ReadAll(InputFile& input, std::string start = {}) {
  std::string bytes = std::move(start);
  std::size_t filled = bytes.size();
  bytes.resize(filled + input.SizeHint() + 1, '\0');
  for (;;) {
    if (filled == bytes.size()) bytes.resize(std::max(bytes.size() * 2, std::size_t{1} << 16));
    const std::size_t n = input.Read(bytes.data() + filled, bytes.size() - filled);
    if (n == 0) break;
    filled += n;
  }
  bytes.resize(filled);
  return bytes;
}

template <int kUnitBytes, bool kBigEndian>
std::uint32_t Unit(std::string_view bytes, std::size_t at) {
  std::uint32_t unit = 0;
  for (int i = 0; i < kUnitBytes; ++i) {
    const auto byte = static_cast<std::uint8_t>(bytes[at + (kBigEndian ? i : kUnitBytes - 1 - i)]);
    unit = unit << 8 | byte;
  }
  return unit;
}

using support::IsLeadSurrogate;
using support::IsSurrogate;
using support::IsTrailSurrogate;

template <bool kBigEndian>
std::u16string DecodeUtf16(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 2 + 1);
  const std::size_t units = bytes.size() / 2;
  for (std::size_t i = 0; i < units; ++i) {
    const std::uint32_t unit = Unit<2, kBigEndian>(bytes, 2 * i);
    if (IsLeadSurrogate(unit) && i + 1 < units &&
        IsTrailSurrogate(Unit<2, kBigEndian>(bytes, 2 * i + 2))) {
      text += static_cast<char16_t>(unit);
      text += static_cast<char16_t>(Unit<2, kBigEndian>(bytes, 2 * ++i));
    } else {
      text += IsSurrogate(unit) ? kReplacement : static_cast<char16_t>(unit);
    }
  }
  if (bytes.size() % 2 != 0) text += kReplacement;
  return text;
}

template <bool kBigEndian>
std::u16string DecodeUtf32(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size() / 4 + 1);
  for (std::size_t at = 0; at + 4 <= bytes.size(); at += 4) {
    const std::uint32_t c = Unit<4, kBigEndian>(bytes, at);
    if (c > 0x10FFFF || IsSurrogate(c)) {
      text += kReplacement;
    } else {
      support::AppendUtf16(text, c);
    }
  }
  if (bytes.size() % 4 != 0) text += kReplacement;
  return text;
}

// UTF-8 with its runs of ASCII widened directly, and only the rest decoded by FromUtf8, added
// to `text`. Every piece is decoded as in the whole: an ASCII byte is never inside a sequence,
// nor inside a maximal invalid part of one, so UTF-8 may be cut just after any ASCII byte.
// after_other(run, decoded) is told of each run of other bytes and what it became.
template <typename AfterOther>
void AppendUtf8WithAsciiRuns(std::string_view bytes, std::u16string& text,
                             AfterOther&& after_other) {
  const auto ascii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t end = i;
    // Eight bytes a step while none has its high bit set.
    for (std::uint64_t eight; end + 8 <= bytes.size(); end += 8) {
      std::memcpy(&eight, bytes.data() + end, 8);
      if ((eight & 0x8080808080808080u) != 0) break;
    }
    while (end < bytes.size() && ascii(bytes[end])) ++end;
    // Widened in place: appending the byte range would build a temporary string of it first.
    // A block at a time, so that the zeros that resize writes are still in the cache when they
    // are overwritten.
    for (std::size_t block = i; block < end;) {
      const std::size_t block_end = std::min(end, block + 4096), at = text.size();
      text.resize(at + (block_end - block));
      for (std::size_t k = block; k < block_end; ++k)
        text[at + k - block] = static_cast<char16_t>(bytes[k]);
      block = block_end;
    }
    for (i = end; end < bytes.size() && !ascii(bytes[end]);) ++end;
    if (end > i) {
      const std::size_t from = text.size();
      text += FromUtf8(bytes.substr(i, end - i));
      after_other(bytes.substr(i, end - i), std::u16string_view(text).substr(from));
    }
    i = end;
  }
}

void AppendUtf8WithAsciiRuns(std::string_view bytes, std::u16string& text) {
  AppendUtf8WithAsciiRuns(bytes, text, [](std::string_view, std::u16string_view) {});
}

std::u16string FromUtf8WithAsciiRuns(std::string_view bytes) {
  std::u16string text;
  text.reserve(bytes.size());
  AppendUtf8WithAsciiRuns(bytes, text);
  return text;
}

// A UTF-8 file is decoded as it is read, a block at a time, rather than read whole first: each
// block is decoded up to its last ASCII byte and the rest waits for the next.
std::u16string ReadUtf8(InputFile& input, std::string pending) {
  std::u16string text;
  ReserveMapped(text, input.SizeHint());
  char chunk[1 << 16];
  std::size_t fresh = 0;  // what waited before holds no ASCII: only the bytes after are sought
  for (;;) {
    std::size_t cut = pending.size();  // just past the last ASCII byte, or 0
    while (cut > fresh && static_cast<unsigned char>(pending[cut - 1]) >= 0x80) --cut;
    if (cut == fresh) cut = 0;
    AppendUtf8WithAsciiRuns(std::string_view(pending).substr(0, cut), text);
    pending.erase(0, cut);
    fresh = pending.size();
    const std::size_t n = input.Read(chunk, sizeof chunk);
    if (n == 0) break;
    pending.append(chunk, n);
  }
  AppendUtf8WithAsciiRuns(pending, text);
  return text;
}

}  // namespace

std::u16string DecodeText(std::string_view bytes) {
  const auto starts = [&](std::string_view mark) { return bytes.starts_with(mark); };
  using namespace std::string_view_literals;
  if (starts("\xEF\xBB\xBF"sv)) return FromUtf8WithAsciiRuns(bytes.substr(3));
  if (starts("\xFF\xFE\0\0"sv)) return DecodeUtf32<false>(bytes.substr(4));
  if (starts("\0\0\xFE\xFF"sv)) return DecodeUtf32<true>(bytes.substr(4));
  if (starts("\xFF\xFE"sv)) return DecodeUtf16<false>(bytes.substr(2));
  if (starts("\xFE\xFF"sv)) return DecodeUtf16<true>(bytes.substr(2));
  return FromUtf8WithAsciiRuns(bytes);
}

InputFile::InputFile(const std::string& file)
    : name_(file == "-" ? "<stdin>" : file),
      fd_(file == "-" ? STDIN_FILENO : ::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
  if (fd_ < 0) throw CommandError(file + ": " + std::strerror(errno));
}

InputFile::~InputFile() {
  if (fd_ != STDIN_FILENO) ::close(fd_);
}

std::size_t InputFile::Read(char* into, std::size_t most) {
  for (;;) {
    const ssize_t n = ::read(fd_, into, most);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw CommandError(name_ + ": " + std::strerror(errno));
  }
}

std::size_t InputFile::SizeHint() const {
  struct stat info;
  if (::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode))
    return static_cast<std::size_t>(info.st_size);
  return 0;
}

InputText ReadInput(const std::string& file) {
  InputFile input(file);
  return ReadInput(input, {});
}

InputText ReadInput(InputFile& input, std::string start) {
  // The first bytes say the encoding (DecodeText): four are enough to tell every mark.
  char first[4];
  while (start.size() < sizeof first) {
    const std::size_t n = input.Read(first, sizeof first - start.size());
    if (n == 0) break;
    start.append(first, n);
  }
  using namespace std::string_view_literals;
  const std::string_view mark = start;
  if (mark.starts_with("\xFF\xFE"sv) || mark.starts_with("\xFE\xFF"sv) ||
      mark.starts_with("\0\0\xFE\xFF"sv)) {
    return {input.name(), DecodeText(ReadAll(input, std::move(start)))};
  }
  if (mark.starts_with("\xEF\xBB\xBF"sv)) start.erase(0, 3);
  return {input.name(), ReadUtf8(input, std::move(start))};
}

TextWithBytes::TextWithBytes(const std::string& file) {
  InputFile input(file);
  *this = TextWithBytes(input, {});
}

TextWithBytes::TextWithBytes(InputFile& input, std::string start) {
  bytes_ = ReadAll(input, std::move(start));
  using namespace std::string_view_literals;
  std::string_view bytes = bytes_;
  if (bytes.starts_with("\xFF\xFE"sv) || bytes.starts_with("\xFE\xFF"sv) ||
      bytes.starts_with("\0\0\xFE\xFF"sv)) {
    text = DecodeText(bytes);
    bytes_ = {};
    return;
  }
  if (bytes.starts_with("\xEF\xBB\xBF"sv)) {
    bytes_.erase(0, 3);
    bytes = bytes_;
  }
  // One mark (16 bytes) per character outside ASCII: beyond one in 8 bytes (and a few), a
  // second UTF-16 copy of the text would cost less.
  const std::size_t most_marks = bytes.size() / 8 + 16;
  bool mapped = true;
  ReserveMapped(text, bytes.size());
  AppendUtf8WithAsciiRuns(bytes, text, [&](std::string_view run, std::u16string_view decoded) {
    // Well-formed exactly when it comes back the same: a broken sequence became U+FFFD.
    if (!mapped || marks_.size() + decoded.size() > most_marks || ToUtf8(decoded) != run) {
      mapped = false;
      return;
    }
    std::size_t unit = text.size() - decoded.size();
    std::size_t byte = static_cast<std::size_t>(run.data() - bytes.data());
    for (std::size_t k = 0; k < decoded.size();) {
      const char16_t c = decoded[k];
      const bool pair = IsLeadSurrogate(c);
      k += pair ? 2 : 1;
      unit += pair ? 2 : 1;
      byte += pair ? 4 : c < 0x800 ? 2 : 3;
      marks_.push_back({unit, byte});
    }
  });
  has_bytes_ = mapped;
  if (!mapped) {
    bytes_ = {};
    marks_ = {};
  }
}

std::size_t TextWithBytes::ByteAt(std::size_t unit) const {
  if (marks_.empty()) return unit;
  // The marks up to `unit`: on from the last place asked, or sought again for one before it.
  if (after_ > 0 && marks_[after_ - 1].unit > unit) {
    after_ = static_cast<std::size_t>(
        std::upper_bound(marks_.begin(), marks_.end(), unit,
                         [](std::size_t u, const Mark& m) { return u < m.unit; }) -
        marks_.begin());
  }
  while (after_ < marks_.size() && marks_[after_].unit <= unit) ++after_;
  if (after_ == 0) return unit;
  const Mark& mark = marks_[after_ - 1];
  return mark.byte + (unit - mark.unit);
}

bool ForEachInputFile(const std::vector<std::string>& files,
                      const std::function<void(const std::string& file)>& take) {
  bool all_taken = true;
  for (const std::string& file : files.empty() ? std::vector<std::string>{"-"} : files) {
    std::optional<std::string> failure;
    try {
      take(file);
    } catch (const CommandError& error) {
      // Output that failed stays failed (CheckStandardOutput): that one ends everything.
      if (!std::cout) throw;
      failure = error.what();
    } catch (const std::bad_alloc&) {
      failure = (file == "-" ? "<stdin>" : file) + ": not enough memory to check it";
    }
    if (failure) {
      std::cerr << "lexivane: " << *failure << std::endl;
      all_taken = false;
    }
  }
  return all_taken;
}

}  // namespace lexivane::frontend
