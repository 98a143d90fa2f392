// Whole-file access on POSIX systems. Paths go to the system as UTF-8.
//
// A write never truncates the file it replaces: the new content goes into a hidden file beside
// it, is flushed to the disk and only then renamed over the old one. The rename is atomic, so
// a reader, a crash or a full disk sees either the old file or the new one, never a mix.

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <random>
#include <system_error>

#include "lexivane/error.h"
#include "platform/files.h"
#include "support/descriptor.h"

namespace lexivane::platform {
namespace {

using support::Descriptor;

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

// Writes all of `bytes` at the descriptor's position.
void WriteAll(int fd, std::string_view bytes, const std::string& path) {
  if (const int error = support::WriteAll(fd, bytes); error != 0) Fail(error, "write", path);
}

// Writes into an open file and closes it. A regular file is truncated first; a device or a
// FIFO has no content to truncate.
void WriteInPlace(Descriptor& file, std::string_view bytes, const std::string& path) {
  struct stat info;
  if (::fstat(file.get(), &info) != 0) Fail(errno, "write", path);
  if (S_ISREG(info.st_mode) && ::ftruncate(file.get(), 0) != 0) Fail(errno, "write", path);
  WriteAll(file.get(), bytes, path);
  // Some file systems (NFS among them) report a failed write only here.
  if (const int error = file.Close(); error != 0) Fail(error, "close", path);
}

// The file a write to `path` must replace: the path with every symbolic link at its end
// followed, since renaming onto a link would replace the link. A link that leads nowhere gives
// the missing file it names, which the write then creates, as opening the link would. Answers
// 0, or the error number that opening the path would give.
int FollowLinks(std::string& path) {
  constexpr int kMostLinks = 40;  // as many as Linux follows in one lookup
  for (int followed = 0; followed <= kMostLinks; ++followed) {
    struct stat info;
    // A path that cannot be looked up is left for the open to report.
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
    std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
    for (;;) {
      const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
      if (n < 0) return errno;
      // The link may have changed since lstat; a full buffer may hold a cut name.
      if (static_cast<std::size_t>(n) < target.size()) {
        target.resize(static_cast<std::size_t>(n));
        break;
      }
      target.resize(target.size() * 2);
    }
    if (target.empty()) return ENOENT;
    if (target.front() == '/') {
      path = std::move(target);
    } else {
      // A relative link is resolved from the directory that holds the link.
      path.erase(path.rfind('/') + 1);  // all of it when there is no '/': npos + 1 is 0
      path += target;
    }
  }
  return ELOOP;
}

// Creates a new hidden file with an unused name and the given mode beside `target`, for
// writing. Answers the descriptor and stores the name in `temporary`, or answers -1 with errno
// set.
int CreateBeside(const std::string& target, mode_t mode, std::string& temporary) {
  const std::size_t name_start = target.rfind('/') + 1;  // 0 when there is no '/'
  std::string_view name = std::string_view(target).substr(name_start);
  // The name is kept only as a hint for whoever finds a file left by a crash; a long one would
  // push the whole past the system's limit on a name's length.
  constexpr std::size_t kSuffixLength = 1 + 16 + 4;  // "." + hex digits + ".tmp"
  if (1 + name.size() + kSuffixLength > NAME_MAX) name = "lexivane";
  thread_local std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    temporary.assign(target, 0, name_start);
    temporary += '.';
    temporary += name;
    temporary += suffix;
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;  // errno is EEXIST
}

// Removes the temporary file on every path out unless the rename has taken it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string name) : name_(std::move(name)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() { Remove(); }

  const std::string& name() const { return name_; }
  void Remove() {
    if (!name_.empty()) ::unlink(name_.c_str());
    Keep();
  }
  void Keep() { name_.clear(); }

 private:
  std::string name_;
};

// True for the refusals with which a directory turns away a new file, or the replacing of an
// old one (with the sticky bit set, only a file's owner may replace it), although the file
// itself may be written.
bool DirectoryRefuses(int error) {
  return error == EACCES || error == EPERM;
}

// Creates `directory` and whatever parents it lacks. Answers 0, or the error number with
// `failed` set to the directory that could not be made.
int MakeDirectories(const std::string& directory, std::string& failed) {
  if (::mkdir(directory.c_str(), 0700) == 0) return 0;
  int error = errno;
  if (error == ENOENT) {
    // The parent is missing: make it, then try again. The empty parent of "/x" is the root.
    std::size_t end = directory.rfind('/');
    while (end != std::string::npos && end > 0 && directory[end - 1] == '/') --end;
    if (end != std::string::npos && end > 0) {
      if (const int parent = MakeDirectories(directory.substr(0, end), failed); parent != 0) {
        return parent;
      }
      if (::mkdir(directory.c_str(), 0700) == 0) return 0;
      error = errno;
    }
  }
  // Another process may have made it meanwhile; or it was there already (EEXIST), perhaps
  // as a file or a link to a directory.
  struct stat info;
  if (::stat(directory.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return 0;
    error = ENOTDIR;
  }
  failed = directory;
  return error;
}

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
  std::vector<std::uint8_t> bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);
  if (const int error = support::ReadAll(fd, bytes); error != 0) Fail(error, "read", native);
  return bytes;
}

void WriteFileBytes(std::u16string_view path, std::string_view bytes) {
  const std::string native = ToUtf8(path);
  if (HasNul(native)) FailOpen(EINVAL, native, "writing");
  // What opening such a name would say: the empty name names nothing, and a name that ends in
  // '/' could only be a directory.
  if (native.empty()) FailOpen(ENOENT, native, "writing");
  if (native.back() == '/') FailOpen(EISDIR, native, "writing");

  std::string target = native;
  if (const int error = FollowLinks(target); error != 0) FailOpen(error, native, "writing");

  // Opening the existing file tests write access the way the system judges it (mode bits,
  // ACLs, a read-only mount), before the directory's permission to replace it can hide a
  // refusal. A directory fails here with EISDIR. Like opening any FIFO for writing, this
  // waits for a reader.
  Descriptor existing(::open(target.c_str(), O_WRONLY | O_CLOEXEC));
  struct stat info = {};
  if (existing.get() < 0) {
    // A missing directory fails with ENOENT too, when the temporary file is created.
    if (errno != ENOENT) FailOpen(errno, native, "writing");
  } else {
    if (::fstat(existing.get(), &info) != 0) Fail(errno, "write", native);
    // A device, FIFO or socket is written into; replacing it would change what it is.
    if (!S_ISREG(info.st_mode)) {
      WriteInPlace(existing, bytes, native);
      return;
    }
  }
  const bool exists = existing.get() >= 0;

  // A new file gets 0666 less the umask, as a plain open would give it; a replaced one its
  // predecessor's mode, set again below, since the umask may take bits away.
  std::string name;
  const int fd = CreateBeside(target, exists ? info.st_mode & 0777 : 0666, name);
  if (fd < 0) {
    const int error = errno;
    if (!exists || !DirectoryRefuses(error)) FailOpen(error, native, "writing");
    WriteInPlace(existing, bytes, native);
    return;
  }
  TemporaryFile temporary(std::move(name));
  Descriptor file(fd);
  if (exists) {
    // The owner first: a change of owner clears the set-user-ID and set-group-ID bits. Only a
    // privileged process may give a file away, and only a member may hand it to a group, so
    // each part is kept where the process may keep it.
    if (::fchown(fd, info.st_uid, info.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0) {
      // Neither is kept: the file now belongs to the writer, as a file it created would.
    }
    ::fchmod(fd, info.st_mode & 07777);
  }

  WriteAll(fd, bytes, native);
  // Without this, a crash soon after the rename can leave an empty file where the old one was:
  // file systems may commit the rename before the data. A file system that cannot sync (EINVAL)
  // has nothing to commit.
  if (::fsync(fd) != 0 && errno != EINVAL) Fail(errno, "write", native);
  if (const int error = file.Close(); error != 0) Fail(error, "close", native);

  if (::rename(temporary.name().c_str(), target.c_str()) != 0) {
    const int error = errno;
    temporary.Remove();
    if (!exists || !DirectoryRefuses(error)) Fail(error, "write", native);
    WriteInPlace(existing, bytes, native);
    return;
  }
  temporary.Keep();
}

void CreateDirectories(std::u16string_view path) {
  std::string directory = ToUtf8(path);
  while (directory.size() > 1 && directory.back() == '/') directory.pop_back();
  std::string failed = directory;
  const int error = HasNul(directory) ? EINVAL : MakeDirectories(directory, failed);
  if (error == 0) return;
  std::string message = "cannot create directory '" + Shown(failed) + "'";
  if (failed != directory) message += " for '" + Shown(directory) + "'";
  throw Error(error, message + ": " + std::generic_category().message(error));
}

void DeleteFileQuietly(std::u16string_view path) {
  const std::string native = ToUtf8(path);
  if (HasNul(native)) return;
  ::unlink(native.c_str());
}

}  // namespace lexivane::platform
