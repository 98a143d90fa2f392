#include "lsp/message_transport.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <climits>
#include <cstring>
#include <optional>

#include "frontend/io/command_error.h"
#include "support/ascii.h"

namespace lexivane::frontend::lsp {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

}  // namespace

bool MessageReader::Fill(std::size_t count) {
  if (start_ > 0 && start_ == buffer_.size()) {
    buffer_.clear();
    start_ = 0;
  }
  while (buffer_.size() - start_ < count) {
    char chunk[1 << 16];
    const ssize_t n = ::read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0)
      throw CommandError(std::string("cannot read standard input: ") + std::strerror(errno));
    if (n == 0) return false;
    if (start_ > (1 << 20) && start_ * 2 > buffer_.size()) {  // drop what was read long ago
      buffer_.erase(0, start_);
      start_ = 0;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
  return true;
}

MessageReader::Line MessageReader::ReadLine(std::string& line) {
  bool too_long = false;
  for (std::size_t searched = start_;;) {
    const std::size_t end = buffer_.find('\n', searched);
    if (end != std::string::npos) {
      too_long = too_long || end - start_ > kMaxHeaderLine;
      line.clear();
      if (!too_long) line.assign(buffer_, start_, end - start_);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      start_ = end + 1;
      return too_long ? Line::kTooLong : Line::kLine;
    }
    if (buffer_.size() - start_ > kMaxHeaderLine) {
      too_long = true;  // what was read of it is dropped, and so is the rest
      start_ = buffer_.size();
    }
    // Fill may move what is kept to the front of the buffer: search on from the same byte.
    const std::size_t searched_bytes = buffer_.size() - start_;
    if (!Fill(searched_bytes + 1)) return Line::kEnd;
    searched = start_ + searched_bytes;
  }
}

MessageReader::Result MessageReader::Next(std::string& body) {
  std::string line;
  Line read;
  // Blank lines between messages are not a header block.
  do {
    read = ReadLine(line);
    if (read == Line::kEnd) return Result::kEnd;
  } while (read == Line::kLine && line.empty());
  std::optional<std::size_t> length;
  bool usable = true;
  for (;; read = ReadLine(line)) {
    if (read == Line::kEnd) return Result::kEnd;
    if (read == Line::kTooLong) {
      usable = false;
      continue;
    }
    if (line.empty()) break;
    const std::size_t colon = line.find(':');
    if (colon != std::string::npos &&
        support::EqualsIgnoringAsciiCase(Trimmed(std::string_view(line).substr(0, colon)),
                                         "Content-Length")) {
      const std::string_view value = Trimmed(std::string_view(line).substr(colon + 1));
      std::size_t parsed = 0;
      const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), parsed);
      if (error != std::errc() || end != value.data() + value.size() || value.empty()) {
        usable = false;
      } else {
        length = parsed;
      }
    }
  }
  if (!usable || !length) return Result::kBadHeader;
  if (*length > kMaxMessageBytes) {
    for (std::size_t left = *length; left > 0;) {
      if (!Fill(1)) return Result::kEnd;
      const std::size_t taken = std::min(left, buffer_.size() - start_);
      start_ += taken;
      left -= taken;
    }
    return Result::kTooLarge;
  }
  if (!Fill(*length)) return Result::kEnd;
  body.assign(buffer_, start_, *length);
  start_ += *length;
  return Result::kMessage;
}

MessageWriter::MessageWriter(int fd) : fd_(fd), thread_([this] { Run(); }) {}

MessageWriter::~MessageWriter() {
  Finish();
}

std::string MessageWriter::Framed(std::string_view body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  message.reserve(message.size() + body.size());
  message += body;
  return message;
}

std::size_t MessageWriter::Counted(const Queued& queued) {
  return queued.label.topic.empty() ? queued.message.size() : 0;
}

void MessageWriter::Send(std::string body, MessageLabel label) {
  Queued queued{Framed(body), std::move(label)};
  {
    std::lock_guard lock(mutex_);
    if (failed_ || finishing_) return;
    if (!queued.label.topic.empty()) {
      std::erase_if(queue_,
                    [&](const Queued& other) { return other.label.topic == queued.label.topic; });
    }
    counted_bytes_ += Counted(queued);
    queue_.push_back(std::move(queued));
  }
  queued_.notify_one();
}

void MessageWriter::Revise(const Reviser& revise) {
  {
    std::lock_guard lock(mutex_);
    for (auto it = queue_.begin(); it != queue_.end();) {
      std::optional<std::string> body = revise(it->label);
      if (!body) {
        ++it;
        continue;
      }
      counted_bytes_ -= Counted(*it);
      if (body->empty()) {
        it = queue_.erase(it);
        continue;
      }
      *it = {Framed(*body), {}};
      counted_bytes_ += Counted(*it);
      ++it;
    }
  }
  room_.notify_all();
}

void MessageWriter::WaitForRoom() {
  std::unique_lock lock(mutex_);
  room_.wait(lock, [this] { return counted_bytes_ <= kMaxQueuedBytes || failed_ || finishing_; });
}

void MessageWriter::Finish() {
  {
    std::lock_guard lock(mutex_);
    if (!finishing_) finish_asked_ = std::chrono::steady_clock::now();
    finishing_ = true;
  }
  queued_.notify_one();
  room_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void MessageWriter::Run() {
  for (;;) {
    Queued next;
    {
      std::unique_lock lock(mutex_);
      queued_.wait(lock, [this] { return !queue_.empty() || finishing_; });
      if (queue_.empty()) return;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    const bool written = Write(next.message);
    {
      std::lock_guard lock(mutex_);
      counted_bytes_ -= Counted(next);
      if (!written) {
        failed_ = true;
        queue_.clear();
        counted_bytes_ = 0;
      }
    }
    room_.notify_all();
    if (!written) return;
  }
}

bool MessageWriter::Write(const std::string& message) {
  using Clock = std::chrono::steady_clock;
  Clock::time_point progress = Clock::now();
  for (std::size_t written = 0; written < message.size();) {
    pollfd output{fd_, POLLOUT, 0};
    const int ready = ::poll(&output, 1, 100);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0) return false;
    if (ready == 0) {
      std::lock_guard lock(mutex_);
      if (finishing_ && Clock::now() - std::max(progress, finish_asked_) > kPatienceAtEnd) {
        return false;
      }
      continue;
    }
    // A pipe that polls writable takes PIPE_BUF bytes without blocking, so the writer never
    // waits in write(2), where it could not give up.
    const ssize_t n = ::write(fd_, message.data() + written,
                              std::min<std::size_t>(message.size() - written, PIPE_BUF));
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    written += static_cast<std::size_t>(n);
    progress = Clock::now();
  }
  return true;
}

}  // namespace lexivane::frontend::lsp
