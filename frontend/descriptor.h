// Descriptor: an open POSIX file descriptor that is closed on every path out, so that a failure
// never leaks it (-1 for none). Close() closes early and reports the error, for writers that
// must know whether their data reached the file. Not thread-safe; one owner, which a move
// hands on. ReadAll and WriteAll move whole
// contents through a descriptor, retrying what a signal interrupted.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <utility>

namespace lexivane::frontend {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      if (fd_ >= 0) ::close(fd_);
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now and answers errno, or 0. Linux releases the descriptor even when close fails, so
  // it is never retried.
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// Reads to the end, appending to `bytes`; answers errno, or 0.
inline int ReadAll(int fd, std::string& bytes) {
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return 0;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

// Writes all of `bytes`; answers errno, or 0.
inline int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

}  // namespace lexivane::frontend
