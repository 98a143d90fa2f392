// Whole-file access on POSIX systems. Paths go to the system as UTF-8.
//
// A write never truncates the file it replaces: the new content goes into a hidden file beside
// it, is flushed to the disk and only then renamed over the old one (support/file_replacement.h).
// The rename is atomic, so a reader, a crash or a full disk sees either the old file or the new
// one, never a mix.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "lexivane/error.h"
#include "platform/files.h"
#include "support/descriptor.h"
#include "support/file_replacement.h"

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
  support::NewFile file = support::NewFile::Beside(target, exists ? info.st_mode & 0777 : 0666);
  if (file.error() != 0) {
    if (!exists || !support::FolderRefuses(file.error())) FailOpen(file.error(), native, "writing");
    WriteInPlace(existing, bytes, native);
    return;
  }
  // The mode was given at creation already; setting it again only undoes the umask.
  if (exists) file.GiveOwnerAndMode(info.st_uid, info.st_gid, info.st_mode);

  WriteAll(file.fd(), bytes, native);
  if (const int error = file.Sync(); error != 0) Fail(error, "write", native);
  if (const int error = file.Close(); error != 0) Fail(error, "close", native);
  if (const int error = file.RenameTo(target); error != 0) {
    file.Remove();
    if (!exists || !support::FolderRefuses(error)) Fail(error, "write", native);
    WriteInPlace(existing, bytes, native);
  }
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
