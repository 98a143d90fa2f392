#include "fix/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "frontend/command_error.h"
#include "frontend/descriptor.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend::fix {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Reads to the end; answers errno, or 0.
int ReadAll(int fd, std::string& bytes) {
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
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return ENOSPC;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A file in the folder of `path` that holds `bytes` with the bits `mode`, flushed to the disk;
// removed again when the object dies unless Keep() was called.
class TemporaryCopy {
 public:
  TemporaryCopy(const std::string& path, std::string_view bytes, mode_t mode,
                const std::string& name) {
    const fs::path target(path);
    // Hidden, and named after the file, so that one left by a crash says what it was.
    std::string hidden = ".";
    hidden += target.filename().string();
    hidden += ".lexivane-XXXXXX";
    name_ = (target.parent_path() / hidden).string();
    Descriptor fd(::mkstemp(name_.data()));
    if (fd.get() < 0) Fail(name, errno, false);
    int error = ::fchmod(fd.get(), mode) == 0 ? 0 : errno;
    if (error == 0) error = WriteAll(fd.get(), bytes);
    if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
    if (const int closed = fd.Close(); error == 0) error = closed;
    if (error != 0) Fail(name, error, true);
  }
  TemporaryCopy(const TemporaryCopy&) = delete;
  TemporaryCopy& operator=(const TemporaryCopy&) = delete;
  ~TemporaryCopy() {
    if (!kept_) ::unlink(name_.c_str());
  }

  const std::string& name() const { return name_; }
  void Keep() { kept_ = true; }

 private:
  [[noreturn]] void Fail(const std::string& name, int error, bool created) {
    if (!created) kept_ = true;  // nothing to remove
    throw CommandError(name + ": cannot write: " + std::strerror(error));
  }

  std::string name_;
  bool kept_ = false;
};

// Creates `name`, which must not exist yet, holding `bytes`; answers errno, or 0. A file that
// could not be filled is removed again.
int CreateExclusively(const std::string& name, std::string_view bytes, mode_t mode) {
  Descriptor fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
  if (fd.get() < 0) return errno;
  int error = WriteAll(fd.get(), bytes);
  if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
  if (const int closed = fd.Close(); error == 0) error = closed;
  if (error != 0) ::unlink(name.c_str());
  return error;
}

// Makes a rename in `folder` last across a crash; a folder that refuses fsync loses nothing.
void SyncFolder(const fs::path& folder) {
  const Descriptor fd(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::optional<std::size_t> FirstInvalidUtf8Byte(std::string_view bytes) {
  const auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(bytes[i]); };
  for (std::size_t i = 0; i < bytes.size();) {
    const std::uint8_t lead = at(i);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // The range the second byte must lie in says what the lead allows; later bytes are
    // continuation bytes 80..BF.
    std::size_t length = 0;
    std::uint8_t low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    } else {
      return i;
    }
    if (i + length > bytes.size() || at(i + 1) < low || at(i + 1) > high) return i;
    for (std::size_t k = 2; k < length; ++k) {
      if (at(i + k) < 0x80 || at(i + k) > 0xBF) return i;
    }
    i += length;
  }
  return std::nullopt;
}

TextFile ReadTextFile(const std::string& name) {
  TextFile file;
  file.name = name;
  file.path = name;
  struct stat info;
  if (::lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
    std::error_code error;
    file.path = fs::canonical(name, error).string();
    if (error) throw CommandError(name + ": " + error.message());
  }
  const Descriptor fd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) throw CommandError(name + ": " + std::strerror(errno));
  if (::fstat(fd.get(), &info) != 0) throw CommandError(name + ": " + std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw CommandError(name + ": " + std::strerror(EISDIR));
  if (!S_ISREG(info.st_mode)) throw CommandError(name + ": not a regular file");
  file.mode = info.st_mode & 07777;
  file.modified = info.st_mtim;
  file.bytes.reserve(static_cast<std::size_t>(info.st_size));
  if (const int error = ReadAll(fd.get(), file.bytes)) {
    throw CommandError(name + ": " + std::strerror(error));
  }

  if (const auto bad = FirstInvalidUtf8Byte(file.bytes)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X",
                  static_cast<unsigned>(static_cast<std::uint8_t>(file.bytes[*bad])));
    throw CommandError(name + ": not UTF-8: byte " + std::to_string(*bad) + " (" + hex +
                       ") does not begin a UTF-8 character");
  }
  std::string_view content = file.bytes;
  file.byte_order_mark = content.starts_with(kByteOrderMark);
  if (file.byte_order_mark) content.remove_prefix(kByteOrderMark.size());
  file.text = FromUtf8(content);
  return file;
}

void CheckReplaceable(const TextFile& file) {
  const fs::path folder = fs::path(file.path).parent_path();
  for (const std::string& path : {file.path, folder.empty() ? std::string(".") : folder.string()}) {
    if (::access(path.c_str(), W_OK) != 0) {
      throw CommandError(file.name + ": not changed: cannot write " +
                         (path == file.path ? "the file" : "its folder " + path) + ": " +
                         std::strerror(errno));
    }
  }
}

std::string EncodeLike(const TextFile& file, std::u16string_view text) {
  return (file.byte_order_mark ? std::string(kByteOrderMark) : std::string()) + ToUtf8(text);
}

bool ChangedOnDisk(const TextFile& file) {
  const Descriptor fd(::open(file.path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info;
  if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0) return true;
  if (static_cast<std::size_t>(info.st_size) != file.bytes.size() ||
      !SameTime(info.st_mtim, file.modified)) {
    return true;
  }
  // The same size and time can still hide a change made within the clock's resolution.
  std::string now;
  now.reserve(file.bytes.size());
  return ReadAll(fd.get(), now) != 0 || now != file.bytes;
}

void ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode,
                 const std::string& name) {
  TemporaryCopy copy(path, bytes, mode, name);
  if (::rename(copy.name().c_str(), path.c_str()) != 0) {
    throw CommandError(name + ": cannot write: " + std::strerror(errno));
  }
  copy.Keep();
  SyncFolder(fs::path(path).parent_path());
}

std::string WriteBeside(const std::string& path, const std::string& suffix, std::string_view bytes,
                        mode_t mode) {
  TemporaryCopy copy(path, bytes, mode, path + suffix);
  for (int n = 0;; ++n) {
    std::string name = path + suffix;
    if (n > 0) name.append(".").append(std::to_string(n));
    // A hard link, unlike a rename, fails when the name is taken, however recently.
    if (::link(copy.name().c_str(), name.c_str()) == 0) {
      SyncFolder(fs::path(path).parent_path());
      return name;
    }
    if (errno == EEXIST) continue;
    if (errno != EPERM && errno != EOPNOTSUPP) {
      throw CommandError(name + ": cannot write: " + std::strerror(errno));
    }
    // A file system without hard links: the name is taken by creating the file exclusively and
    // filling it in place, which is safe for a file that nobody knows of yet.
    const int error = CreateExclusively(name, bytes, mode);
    if (error == EEXIST) continue;
    if (error != 0) throw CommandError(name + ": cannot write: " + std::strerror(error));
    return name;
  }
}

}  // namespace lexivane::frontend::fix
