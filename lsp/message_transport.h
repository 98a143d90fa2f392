// The base protocol of the Language Server Protocol: messages as UTF-8 JSON bodies, each after a
// header block of `Name: value` lines ended by an empty line, of which Content-Length (the
// body's size in bytes) is the one that counts. Lines end in CR LF; a bare LF is taken too.
//
// MessageReader reads one stream on one thread. A header block without a usable Content-Length,
// or with a line longer than kMaxHeaderLine, is skipped whole and reported, so that the next
// block can still be read; a body larger than kMaxMessageBytes is read past and reported.
//
// MessageWriter keeps the messages to send in a queue that a thread of its own writes out, so
// that no caller ever waits for the client to read, and no lock held while sending can stall
// anything. Send may be called from several threads; messages go out whole, in the order they
// were queued. What waits there is bounded:
// - A message sent with a topic (the diagnostics of one document) takes the place of an unsent
//   one with the same topic, which is dropped: only the latest is worth sending, and a client
//   that does not read cannot make the queue grow with every check.
// - A message still unsent can be revised (Outbox::Revise): the reply to a request the client
//   has cancelled, or one made from a text that has changed since, becomes a short error.
// - The other messages (replies above all) are counted: while they take more than
//   kMaxQueuedBytes, WaitForRoom holds up the thread that reads the client's messages, so that
//   a client that sends requests and never reads the replies stops being read instead of
//   filling the memory. Diagnostics are not counted: they are bounded by the documents, and a
//   client that sends changes before it reads must never find the server deaf.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
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

// What a message is about, so that it can be dropped or answered otherwise before it is sent.
struct MessageLabel {
  // The uri of the document whose diagnostics the message carries: a later message with the
  // same topic makes an unsent one needless.
  std::string topic = {};
  // The id of the request the message answers, as JSON text (`7`, `"a"`).
  std::string reply_to = {};
  // The uri of the document whose text, as it stood, the answer was made from.
  std::string about = {};
};

// Where the language server sends its messages: a MessageWriter, or a test's own. Thread-safe.
class Outbox {
 public:
  // A new body for an unsent message: nullopt leaves it as it is, an empty body drops it.
  using Reviser = std::function<std::optional<std::string>(const MessageLabel&)>;

  virtual ~Outbox() = default;
  virtual void Send(std::string body, MessageLabel label = {}) = 0;
  // Calls `revise` for every message still waiting whole to be sent, and replaces or drops it as
  // told; a replaced message loses its label. `revise` is called with the queue locked.
  virtual void Revise(const Reviser& revise) = 0;
};

class MessageWriter : public Outbox {
 public:
  // How long the end waits for a client that takes nothing of what is still queued.
  static constexpr std::chrono::milliseconds kPatienceAtEnd{2000};
  // The bytes of unsent messages without a topic above which WaitForRoom waits.
  static constexpr std::size_t kMaxQueuedBytes = std::size_t{16} << 20;

  explicit MessageWriter(int fd);
  MessageWriter(const MessageWriter&) = delete;
  MessageWriter& operator=(const MessageWriter&) = delete;
  ~MessageWriter() override;  // Finish

  // Queues one body with its header, in place of an unsent one with the same non-empty topic.
  // Dropped once the output cannot be written (the client has gone) or the writer finished.
  void Send(std::string body, MessageLabel label = {}) override;
  void Revise(const Reviser& revise) override;

  // Returns once the messages without a topic that wait to be sent (the one being written
  // included) take at most kMaxQueuedBytes, the output has failed, or the writer finishes.
  void WaitForRoom();

  // Writes out what is queued and ends the writing thread; gives up once the client has taken
  // nothing for kPatienceAtEnd. Sends nothing afterwards.
  void Finish();

 private:
  struct Queued {
    std::string message;  // header and body
    MessageLabel label;
  };

  static std::string Framed(std::string_view body);
  // The bytes of a message that count against kMaxQueuedBytes.
  static std::size_t Counted(const Queued& queued);
  void Run();
  // Writes it all, waiting for the client as long as it takes, or until it has taken nothing
  // for kPatienceAtEnd once finishing. False when the output failed or the writer gave up.
  bool Write(const std::string& message);

  const int fd_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::condition_variable room_;
  std::deque<Queued> queue_;
  std::size_t counted_bytes_ = 0;  // of the queue and of the message being written
  bool finishing_ = false;
  std::chrono::steady_clock::time_point finish_asked_;
  bool failed_ = false;
  std::thread thread_;  // last: started when everything else is ready
};

}  // namespace lexivane::frontend::lsp
