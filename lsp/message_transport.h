// The base protocol of the Language Server Protocol: messages as UTF-8 JSON bodies, each after a
// header block of `Name: value` lines ended by an empty line, of which Content-Length (the
// body's size in bytes) is the one that counts. Lines end in CR LF; a bare LF is taken too.
//
// MessageReader reads one stream on one thread. A header block without a usable Content-Length,
// or with a line longer than kMaxHeaderLine, is skipped whole and reported, so that the next
// block can still be read; a body larger than kMaxMessageBytes is read past and reported.
//
// MessageWriter keeps the messages to send in a queue that a thread of its own writes out, so
// that no caller ever waits for the client to read: a client that writes before it reads
// cannot stall the reading, and no lock held while sending can stall anything. Send may be
// called from several threads; messages go out whole, in the order they were queued. A message
// sent with a topic (the diagnostics of one document) takes the place of an unsent one with the
// same topic, which is dropped: only the latest is worth sending, and a client that does not
// read cannot make the queue grow with every check.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace lexivane::frontend::lsp {

inline constexpr std::size_t kMaxMessageBytes = std::size_t{1} << 30;

class MessageReader {
 public:
  static constexpr std::size_t kMaxHeaderLine = std::size_t{64} << 10;

  explicit MessageReader(int fd) : fd_(fd) {}

  enum class Result { kMessage, kBadHeader, kTooLarge, kEnd };
  // The next body in `body` (kMessage); kEnd at the end of the input, or when it ends inside a
  // message. Throws CommandError when the input cannot be read.
  Result Next(std::string& body);

 private:
  enum class Line { kLine, kTooLong, kEnd };
  // The next line without its line end; a line longer than kMaxHeaderLine is read past, and
  // `line` left empty.
  Line ReadLine(std::string& line);
  // Makes at least `count` bytes available after start_; false at the end of the input.
  bool Fill(std::size_t count);

  int fd_;
  std::string buffer_;
  std::size_t start_ = 0;
};

class MessageWriter {
 public:
  // How long the end waits for a client that takes nothing of what is still queued.
  static constexpr std::chrono::milliseconds kPatienceAtEnd{2000};

  explicit MessageWriter(int fd);
  MessageWriter(const MessageWriter&) = delete;
  MessageWriter& operator=(const MessageWriter&) = delete;
  ~MessageWriter();  // Finish

  // Queues one body with its header, in place of an unsent one with the same non-empty topic.
  // False, now and for every later message, once the output cannot be written (the client
  // has gone).
  bool Send(std::string body, const std::string& topic = {});

  // Writes out what is queued and ends the writing thread; gives up once the client has taken
  // nothing for kPatienceAtEnd. Sends nothing afterwards.
  void Finish();

 private:
  struct Queued {
    std::string message;  // header and body
    std::string topic;
  };

  void Run();
  // Writes it all, waiting for the client as long as it takes, or until it has taken nothing
  // for kPatienceAtEnd once finishing. False when the output failed or the writer gave up.
  bool Write(const std::string& message);

  const int fd_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<Queued> queue_;
  bool finishing_ = false;
  std::chrono::steady_clock::time_point finish_asked_;
  bool failed_ = false;
  std::thread thread_;  // last: started when everything else is ready
};

}  // namespace lexivane::frontend::lsp
