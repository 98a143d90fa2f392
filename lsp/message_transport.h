// The base protocol of the Language Server Protocol: messages as UTF-8 JSON bodies, each after a
// header block of `Name: value` lines ended by an empty line, of which Content-Length (the
// body's size in bytes) is the one that counts. Lines end in CR LF; a bare LF is taken too.
//
// MessageReader reads one stream on one thread. A header block without a usable Content-Length
// is skipped whole and reported, so that the next block can still be read; a body larger than
// kMaxMessageBytes is read past and reported. MessageWriter may be called from several threads:
// each message goes out whole, and is flushed at once.
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

namespace lexivane::frontend::lsp {

inline constexpr std::size_t kMaxMessageBytes = std::size_t{1} << 30;

class MessageReader {
 public:
  explicit MessageReader(int fd) : fd_(fd) {}

  enum class Result { kMessage, kBadHeader, kTooLarge, kEnd };
  // The next body in `body` (kMessage); kEnd at the end of the input, or when it ends inside a
  // message. Throws CommandError when the input cannot be read.
  Result Next(std::string& body);

 private:
  // The next line without its line end; false at the end of the input.
  bool ReadLine(std::string& line);
  // Makes at least `count` bytes available after start_; false at the end of the input.
  bool Fill(std::size_t count);

  int fd_;
  std::string buffer_;
  std::size_t start_ = 0;
};

class MessageWriter {
 public:
  explicit MessageWriter(int fd) : fd_(fd) {}

  // Sends one body with its header. False, now and for every later message, once the output
  // cannot be written (the client has gone).
  bool Send(const std::string& body);

 private:
  std::mutex mutex_;
  int fd_;
  bool failed_ = false;
};

}  // namespace lexivane::frontend::lsp
