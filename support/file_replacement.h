// Replacing a file safely, on POSIX systems: the new content goes into a new hidden file beside
// the old one (NewFile::Beside), which gets the old file's owner, group and permission bits,
// is flushed to the disk, closed, and only then renamed over the old file (RenameTo). The
// rename is atomic, so a reader, a crash or a full disk finds either the old file or the new
// one, never a mix or an empty file; and a failure at any step leaves no new file behind, since
// a NewFile removes itself on every path out unless it was renamed or kept.
//
// What to do where the folder refuses the new file or the rename (FolderRefuses), how to follow
// symbolic links to the file to replace, and how to report a failure is the caller's: each step
// answers the system's error number, or 0. A NewFile is an object of one thread; any thread may
// make one.
#pragma once

#include <sys/types.h>

#include <string>
#include <string_view>

#include "support/descriptor.h"

namespace lexivane::support {

// ".NAME" + `suffix` in the folder of `target`, NAME being the target's name, or ".lexivane" +
// `suffix` where that name would be longer than a file name may be.
std::string HiddenNameBeside(std::string_view target, std::string_view suffix);

// True for the refusals with which a folder turns away a new file or the replacing of an old one
// (with the sticky bit set, only a file's owner may replace it), although the file itself may be
// written.
bool FolderRefuses(int error);

// Makes the renames in the folder of `path` last across a crash; a folder that refuses fsync
// loses nothing.
void SyncFolderOf(const std::string& path);

class NewFile {
 public:
  // A new hidden file with an unused name beside `target`, HiddenNameBeside(target,
  // ".<16 random hex digits>.tmp"), made with `mode` less the umask. A link in its place is
  // never followed.
  static NewFile Beside(std::string_view target, mode_t mode);
  // The new file `name`, which must not exist yet, made with `mode` less the umask.
  static NewFile Named(std::string name, mode_t mode);

  NewFile(NewFile&& other) noexcept;
  NewFile& operator=(NewFile&&) = delete;
  ~NewFile() { Remove(); }

  // Why the file could not be made (then there is none), or 0.
  int error() const { return error_; }
  int fd() const { return file_.get(); }
  const std::string& name() const { return name_; }

  // Gives the file `owner` and `group` where the process may (a privileged process may give a
  // file away; a member, hand it to a group; what cannot be given stays the writer's, as in a
  // file it made), then the permission, set-ID and sticky bits of `mode`: the owner first, since
  // a change of owner clears the set-ID bits. Answers fchmod's error, or 0.
  int GiveOwnerAndMode(uid_t owner, gid_t group, mode_t mode);
  int GiveMode(mode_t mode);

  // Flushes the file's data to the disk. Without this, a crash soon after the rename can leave
  // an empty file where the old one was: file systems may commit the rename before the data. A
  // file system that cannot sync (EINVAL) has nothing to commit.
  int Sync();
  int Close() { return file_.Close(); }
  // Renames the file to `target`, replacing whatever has that name; from then on it is no longer
  // removed.
  int RenameTo(const std::string& target);
  // Leaves the file as it is from now on; or removes it now.
  void Keep() { name_.clear(); }
  void Remove();

 private:
  NewFile(std::string name, int fd, int error) : file_(fd), name_(std::move(name)), error_(error) {}

  Descriptor file_;
  std::string name_;  // empty once it is no longer ours to remove
  int error_;
};

}  // namespace lexivane::support
