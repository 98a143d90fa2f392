// Descriptor: an open POSIX file descriptor that is closed on every path out, so that a failure
// never leaks it (-1 for none). Close() closes early and reports the error, for writers that
// must know whether their data reached the file. Not thread-safe; one owner, which a move hands
// on. ReadAll and WriteAll move whole contents through a descriptor, retrying what a signal
// interrupted. POSIX builds only.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <string_view>
#include <utility>

namespace lexivane::support {

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

// Reads to the end, appending to `bytes` (a std::string or a vector of bytes); answers errno, or
// 0. It reads straight into the container, into whatever capacity it has first: a caller that
// knows the size reserves one byte more, and the whole file comes in one read and one more that
// finds the end.
template <typename Bytes>
int ReadAll(int fd, Bytes& bytes) {
  static_assert(sizeof(typename Bytes::value_type) == 1);
  constexpr std::size_t kLeastRoom = 1 << 16;
  std::size_t used = bytes.size();
  for (;;) {
    if (used == bytes.size()) bytes.resize(std::max(bytes.capacity(), used + kLeastRoom));
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : 0;
      bytes.resize(used);
      return error;
    }
    used += static_cast<std::size_t>(n);
  }
}

// Writes all of `bytes`; answers errno, or 0. A write that makes no progress would loop forever;
// only a full device answers that, so it is reported as ENOSPC.
int WriteAll(int fd, std::string_view bytes);

}  // namespace lexivane::support
