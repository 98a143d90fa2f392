#include "support/file_replacement.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>

namespace lexivane::support {

namespace {

constexpr int kNewFileFlags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW;

std::string_view FolderOf(std::string_view path) {
  return path.substr(0, path.rfind('/') + 1);  // all of it when there is no '/': npos + 1 is 0
}

}  // namespace

std::string HiddenNameBeside(std::string_view target, std::string_view suffix) {
  const std::string_view folder = FolderOf(target);
  std::string_view name = target.substr(folder.size());
  // The name is kept only as a hint for whoever finds a file left by a crash; a long one would
  // push the whole past the system's limit on a name's length.
  if (1 + name.size() + suffix.size() > NAME_MAX) name = "lexivane";
  std::string hidden(folder);
  hidden += '.';
  hidden += name;
  hidden += suffix;
  return hidden;
}

bool FolderRefuses(int error) {
  return error == EACCES || error == EPERM;
}

void SyncFolderOf(const std::string& path) {
  const std::string folder(FolderOf(path));
  const Descriptor fd(
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

NewFile NewFile::Beside(std::string_view target, mode_t mode) {
  thread_local std::mt19937_64 random(
      std::random_device{}() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, ".%016llx.tmp", static_cast<unsigned long long>(random()));
    std::string name = HiddenNameBeside(target, suffix);
    const int fd = ::open(name.c_str(), kNewFileFlags, mode);
    if (fd >= 0) return NewFile(std::move(name), fd, 0);
    if (errno != EEXIST) return NewFile({}, -1, errno);
  }
  return NewFile({}, -1, EEXIST);
}

NewFile NewFile::Named(std::string name, mode_t mode) {
  const int fd = ::open(name.c_str(), kNewFileFlags, mode);
  if (fd < 0) return NewFile({}, -1, errno);
  return NewFile(std::move(name), fd, 0);
}

NewFile::NewFile(NewFile&& other) noexcept
    : file_(std::move(other.file_)), name_(std::move(other.name_)), error_(other.error_) {
  other.name_.clear();
}

int NewFile::GiveOwnerAndMode(uid_t owner, gid_t group, mode_t mode) {
  if (::fchown(fd(), owner, group) != 0 && ::fchown(fd(), static_cast<uid_t>(-1), group) != 0) {
    // Neither is kept: the file belongs to the writer, as a file it made would.
  }
  return GiveMode(mode);
}

int NewFile::GiveMode(mode_t mode) {
  return ::fchmod(fd(), mode & 07777) == 0 ? 0 : errno;
}

int NewFile::Sync() {
  return ::fsync(fd()) == 0 || errno == EINVAL ? 0 : errno;
}

int NewFile::RenameTo(const std::string& target) {
  if (::rename(name_.c_str(), target.c_str()) != 0) return errno;
  Keep();
  return 0;
}

void NewFile::Remove() {
  if (!name_.empty()) ::unlink(name_.c_str());
  Keep();
}

}  // namespace lexivane::support
