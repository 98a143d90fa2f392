// Whole-file access on POSIX systems. Paths go to the system as UTF-8.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "lexivane/error.h"
#include "platform/files.h"

namespace lexivane::platform {
namespace {

// The path as a message shows it: a NUL would end the message early for C-string readers.
std::string Shown(const std::string& path) {
  std::string shown;
  for (char c : path) {
    if (c == '\0') {
      shown += "\\0";
    } else {
      shown += c;
    }
  }
  return shown;
}

[[noreturn]] void Fail(int number, const std::string& what, const std::string& path) {
  throw Error(number, "cannot " + what + " '" + Shown(path) +
                          "': " + std::generic_category().message(number));
}

[[noreturn]] void FailOpen(int number, const std::string& path, const char* mode) {
  throw Error(number, "cannot open '" + Shown(path) + "' for " + mode + ": " +
                          std::generic_category().message(number));
}

// The system would silently cut the path at an embedded NUL and open some other file.
bool HasNul(const std::string& path) {
  return path.find('\0') != std::string::npos;
}

// Closes on every path out, so that a failure never leaks the descriptor.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }

  int get() const { return fd_; }

  // Closes now and answers errno, or 0 on success.
  int Close() {
    const int fd = fd_;
    fd_ = -1;
    // Linux releases the descriptor even when close fails, so close is never retried.
    return ::close(fd) == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

}  // namespace

std::vector<std::uint8_t> ReadFileBytes(std::u16string_view path) {
  const std::string native = ToUtf8(path);
  if (HasNul(native)) FailOpen(EINVAL, native, "reading");

  // O_NONBLOCK keeps the open of a FIFO without a writer from waiting forever; the file is
  // refused below unless it is a regular file, where the flag changes nothing.
  const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) FailOpen(errno, native, "reading");
  Descriptor file(fd);

  struct stat info;
  if (::fstat(fd, &info) != 0) Fail(errno, "read", native);
  if (S_ISDIR(info.st_mode)) FailOpen(EISDIR, native, "reading");
  if (!S_ISREG(info.st_mode)) {
    throw Error(EINVAL, "cannot read '" + Shown(native) + "': not a regular file");
  }

  // The size is only a first guess: the file may grow or shrink while it is read.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size) + 1);
  std::size_t used = 0;
  for (;;) {
    if (used == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno, "read", native);
    }
    if (n == 0) break;
    used += static_cast<std::size_t>(n);
  }
  bytes.resize(used);
  return bytes;
}

void WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  const std::string native = ToUtf8(path);
  if (HasNul(native)) FailOpen(EINVAL, native, "writing");

  const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) FailOpen(errno, native, "writing");
  Descriptor file(fd);

  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(errno, "write", native);
    }
    // A write that makes no progress would loop forever; it only happens when no space is left.
    if (n == 0) Fail(ENOSPC, "write", native);
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }

  // Some file systems (NFS among them) report a failed write only here.
  if (const int error = file.Close(); error != 0) Fail(error, "close", native);
}

void DeleteFileQuietly(std::u16string_view path) {
  const std::string native = ToUtf8(path);
  if (HasNul(native)) return;
  ::unlink(native.c_str());
}

}  // namespace lexivane::platform
