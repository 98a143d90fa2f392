// DictionaryLock: what one save of a custom dictionary file holds from reading the file to
// replacing it, so that the saves of several processes and threads follow one another
// (CustomDictionaryFile::AddWords takes it).
//
// A save replaces the dictionary with a new file, so a lock on the dictionary alone would be
// worthless: a save waiting on the old file would get it once the old file was gone. The lock
// is held on two files, in this order:
//
//  - the lock file `.NAME.lock` beside the dictionary (beside the file its name leads to, so
//    that a link and its target share it), which the first save makes, mode 0644 whatever the
//    umask, so that every user who may read the folder can lock it, and nothing removes: a
//    process that removed it could leave two others locking two different files;
//  - the dictionary as it is then, when it exists: once the lock is granted, the name must
//    still lead to the file locked, or the lock is taken again on the file now there.
//
// Where the lock file does not exist and the folder refuses to make it (a folder the process
// may not write to, where a save writes the dictionary in place, since it could not make its
// new file there either), the second lock is the only one: every save takes it, so a save that
// writes in place and one that replaces the file still follow one another. A lock file that
// exists and cannot serve (a symbolic link, not a regular file, or one the process may not
// open: another user's, mode 0600) is an error rather than a lock skipped: another save may
// hold it. On a file system without locks (flock fails otherwise) the save goes on without.
//
// The constructor throws CommandError ("FILE: cannot save the custom dictionary: REASON",
// naming the lock file) on those errors, and when another program has held either lock for
// kPatience. The destructor releases both. Any thread: flock locks taken through two opens
// exclude each other within one process too.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

#include "support/descriptor.h"

namespace lexivane::frontend {

class DictionaryLock {
 public:
  static constexpr std::chrono::seconds kPatience{10};

  // `file` as the person named it, for messages; `target`, the file it leads to (see
  // SaveTarget).
  DictionaryLock(const std::string& file, const std::filesystem::path& target);

  // The lock file, whether or not it could be made.
  const std::filesystem::path& lock_file() const { return lock_file_; }

 private:
  std::filesystem::path lock_file_;
  support::Descriptor held_lock_file_{-1};
  support::Descriptor held_dictionary_{-1};
};

// The file a save of `file` writes: the name with the symbolic links at its end followed (one
// that leads nowhere gives the missing file it names, which the save then makes), in canonical
// form, so that every name of one file gives the same path.
std::filesystem::path SaveTarget(const std::string& file);

}  // namespace lexivane::frontend
