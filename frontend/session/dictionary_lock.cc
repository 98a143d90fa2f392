#include "frontend/session/dictionary_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cstring>
#include <thread>

#include "frontend/io/command_error.h"
#include "support/file_replacement.h"

namespace lexivane::frontend {

namespace {

namespace fs = std::filesystem;
using support::Descriptor;
using Clock = std::chrono::steady_clock;

CommandError CannotSave(const std::string& file, const std::string& reason) {
  return CommandError(file + ": cannot save the custom dictionary: " + reason);
}

// The lock file, open; -1 where the file does not exist and the folder refuses to make it.
// Throws where it exists and cannot serve.
Descriptor OpenLockFile(const std::string& file, const fs::path& lock) {
  constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
  // O_EXCL: a lock file that exists, a link included, fails with EEXIST before any refusal.
  Descriptor held(::open(lock.c_str(), O_RDWR | O_CREAT | O_EXCL | kFlags, 0644));
  if (held.get() >= 0) {
    ::fchmod(held.get(), 0644);  // the umask must not keep other users from locking it
    return held;
  }
  struct stat info;
  if (errno != EEXIST) {
    const int error = errno;
    if ((error == EACCES || error == EPERM) && ::lstat(lock.c_str(), &info) != 0) return held;
    throw CannotSave(file,
                     "cannot make the lock file " + lock.string() + ": " + std::strerror(error));
  }
  held = Descriptor(::open(lock.c_str(), O_RDWR | kFlags));
  // A read lock is as good: flock does not ask for write access, and another user's lock file,
  // or any in a sticky folder (fs.protected_regular), may refuse writing only.
  if (held.get() < 0 && errno != ELOOP) held = Descriptor(::open(lock.c_str(), O_RDONLY | kFlags));
  const int error = errno;
  const bool opened = held.get() >= 0;
  if (opened ? ::fstat(held.get(), &info) != 0 : ::lstat(lock.c_str(), &info) != 0) {
    info.st_mode = S_IFREG;  // gone meanwhile: the reason below says so
  }
  if (S_ISLNK(info.st_mode)) {
    throw CannotSave(file, "the lock file " + lock.string() + " is a symbolic link");
  }
  if (!S_ISREG(info.st_mode)) {
    throw CannotSave(file, "the lock file " + lock.string() + " is not a regular file");
  }
  if (!opened) {
    throw CannotSave(file,
                     "cannot open the lock file " + lock.string() + ": " + std::strerror(error));
  }
  return held;
}

// Takes the lock on `fd`, waiting until `deadline`. False where the file system has no locks.
bool Lock(int fd, Clock::time_point deadline, const std::string& file, const fs::path& locked) {
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (Clock::now() > deadline) {
      throw CannotSave(file, "another program has kept it locked for " +
                                 std::to_string(DictionaryLock::kPatience.count()) + " seconds (" +
                                 locked.string() + ")");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace

DictionaryLock::DictionaryLock(const std::string& file, const fs::path& target)
    : lock_file_(support::HiddenNameBeside(target.native(), ".lock")),
      held_lock_file_(OpenLockFile(file, lock_file_)) {
  const auto deadline = Clock::now() + kPatience;
  if (held_lock_file_.get() >= 0 && !Lock(held_lock_file_.get(), deadline, file, lock_file_)) {
    held_lock_file_ = Descriptor(-1);
  }
  // The dictionary as the name now leads to it; one that is missing or no regular file has no
  // lock, and the save reports what keeps it from reading or writing it.
  for (;;) {
    held_dictionary_ = Descriptor(::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat locked, now;
    if (held_dictionary_.get() < 0 || ::fstat(held_dictionary_.get(), &locked) != 0 ||
        !S_ISREG(locked.st_mode) || !Lock(held_dictionary_.get(), deadline, file, target)) {
      held_dictionary_ = Descriptor(-1);
      return;
    }
    // Replaced while this save waited: the save that replaced it held the old file's lock.
    if (::stat(target.c_str(), &now) == 0 && SameFile(locked, now)) return;
  }
}

fs::path SaveTarget(const std::string& file) {
  constexpr int kMostLinks = 40;  // as many as Linux follows in one lookup
  fs::path path = file;
  std::error_code error;
  for (int followed = 0; followed < kMostLinks && fs::is_symlink(fs::symlink_status(path, error));
       ++followed) {
    const fs::path link = fs::read_symlink(path, error);
    if (error) break;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  const fs::path canonical = fs::weakly_canonical(path, error);
  return error ? path : canonical;
}

}  // namespace lexivane::frontend
