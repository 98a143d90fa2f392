// Descriptor: an open POSIX file descriptor that is closed on every path out, so that a failure
// never leaks it. Close() closes early and reports the error, for writers that must know whether
// their data reached the file. Not thread-safe; one owner.
#pragma once

#include <cerrno>

#include <unistd.h>

namespace lexivane::frontend {

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
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

}  // namespace lexivane::frontend
