#include "fix/text_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <utility>
#include <vector>

#include "frontend/io/command_error.h"
#include "lexivane/utf8.h"
#include "support/descriptor.h"
#include "support/file_replacement.h"

namespace lexivane::frontend::fix {

namespace {

namespace fs = std::filesystem;
using support::Descriptor;
using support::ReadAll;
using support::WriteAll;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool SameTime(const timespec& a, const timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// What a file written for another is given: its permission bits, and its owner and group where
// the process may give them.
struct Attributes {
  mode_t mode;
  std::optional<std::pair<uid_t, gid_t>> owner_and_group;
};

Attributes Of(const TextFile& file) {
  return {file.mode, std::pair(file.owner, file.group)};
}

// Gives `file` the attributes, writes `bytes` into it, flushes them to the disk and closes it.
// Answers errno, or 0.
int Fill(support::NewFile& file, std::string_view bytes, const Attributes& attributes) {
  const auto& ids = attributes.owner_and_group;
  int error = ids ? file.GiveOwnerAndMode(ids->first, ids->second, attributes.mode)
                  : file.GiveMode(attributes.mode);
  if (error == 0) error = WriteAll(file.fd(), bytes);
  if (error == 0) error = file.Sync();
  if (const int closed = file.Close(); error == 0) error = closed;
  return error;
}

// A new hidden file in the folder of `path` that holds `bytes` (support/file_replacement.h):
// removed again when it dies unless it was renamed or kept, and at once when it cannot be
// filled. Throws CommandError ("NAME: cannot write: REASON").
support::NewFile CopyBeside(const std::string& path, std::string_view bytes,
                            const Attributes& attributes, const std::string& name) {
  support::NewFile copy = support::NewFile::Beside(path, 0600);
  const int error = copy.error() != 0 ? copy.error() : Fill(copy, bytes, attributes);
  if (error != 0) throw CommandError(name + ": cannot write: " + std::strerror(error));
  return copy;
}

// Creates `name`, which must not exist yet, holding `bytes`; answers errno, or 0. A file that
// could not be filled is removed again.
int CreateExclusively(const std::string& name, std::string_view bytes,
                      const Attributes& attributes) {
  support::NewFile file = support::NewFile::Named(name, 0600);
  const int error = file.error() != 0 ? file.error() : Fill(file, bytes, attributes);
  if (error == 0) file.Keep();
  return error;
}

std::string FolderOf(const std::string& path) {
  const fs::path folder = fs::path(path).parent_path();
  return folder.empty() ? "." : folder.string();
}

// Gives the bytes of `copy` the name `path` + `suffix`, or that + ".1", ".2", ... when it is
// taken. Returns the name.
std::string LinkBeside(const support::NewFile& copy, const std::string& path,
                       const std::string& suffix, std::string_view bytes,
                       const Attributes& attributes) {
  for (int n = 0;; ++n) {
    std::string name = path + suffix;
    if (n > 0) name.append(".").append(std::to_string(n));
    // A hard link, unlike a rename, fails when the name is taken, however recently.
    if (::link(copy.name().c_str(), name.c_str()) == 0) {
      support::SyncFolderOf(path);
      return name;
    }
    if (errno == EEXIST) continue;
    if (errno != EPERM && errno != EOPNOTSUPP) {
      throw CommandError(name + ": cannot write: " + std::strerror(errno));
    }
    // A file system without hard links: the name is taken by creating the file exclusively and
    // filling it in place, which is safe for a file that nobody knows of yet.
    const int error = CreateExclusively(name, bytes, attributes);
    if (error == EEXIST) continue;
    if (error != 0) throw CommandError(name + ": cannot write: " + std::strerror(error));
    return name;
  }
}

// Overwrites the file with `bytes`, which makes it the same file still, with its links, owner,
// group and everything else. `touched` turns true once its bytes may have changed.
void WriteInPlace(const TextFile& file, std::string_view bytes, bool& touched) {
  const auto fail = [&](int error) {
    throw CommandError(file.name + ": cannot write: " + std::strerror(error));
  };
  Descriptor fd(::open(file.path.c_str(), O_WRONLY | O_CLOEXEC));
  if (fd.get() < 0) fail(errno);
  // Room for all of it first, so that a full disk is found before the file changes. A file
  // system that cannot reserve room says so, and is written all the same.
  if (bytes.size() > file.bytes.size()) {
    const int error = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(bytes.size()));
    if (error != 0 && error != EOPNOTSUPP && error != EINVAL) fail(error);
  }
  touched = true;
  int error = WriteAll(fd.get(), bytes);
  if (error == 0 && ::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) error = errno;
  if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
  if (const int closed = fd.Close(); error == 0) error = closed;
  if (error != 0) fail(error);
}

bool InGroup(gid_t group) {
  if (group == ::getegid()) return true;
  std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
  groups.resize(static_cast<std::size_t>(
      std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
  return std::find(groups.begin(), groups.end(), group) != groups.end();
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
  file.owner = info.st_uid;
  file.group = info.st_gid;
  file.links = info.st_nlink;
  file.modified = info.st_mtim;
  file.bytes.reserve(static_cast<std::size_t>(info.st_size) + 1);  // + 1: the end, in one read
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

WriteMethod PlanWrite(const TextFile& file, const std::string& backup) {
  const auto refuse = [&](const std::string& why) {
    throw CommandError(file.name + ": not changed: " + why);
  };
  const std::string folder = FolderOf(file.path);
  if (::access(file.path.c_str(), W_OK) != 0) {
    refuse(std::string("cannot write the file: ") + std::strerror(errno));
  }
  if (::access(folder.c_str(), W_OK) != 0) {
    refuse("cannot write its folder " + folder + ": " + std::strerror(errno));
  }
  const uid_t user = ::geteuid();
  const bool privileged = user == 0;
  const bool other_owner = !privileged && file.owner != user;
  const bool other_group = !privileged && !InGroup(file.group);
  const WriteMethod method =
      file.links > 1 || other_owner || other_group ? WriteMethod::kInPlace : WriteMethod::kReplace;
  if (method == WriteMethod::kInPlace && backup.empty()) {
    refuse(std::string(file.links > 1 ? "it has other names (hard links)"
                       : other_owner  ? "it belongs to another user"
                                      : "it belongs to a group you are not in") +
           ", so it can only be written in place, which needs the backup that --no-backup "
           "leaves out");
  }
  if (backup.empty()) return method;
  const std::string backup_folder = FolderOf(backup);
  if (backup_folder != folder && ::access(backup_folder.c_str(), W_OK) != 0) {
    refuse("cannot write the folder of " + backup + ": " + std::strerror(errno));
  }
  struct stat info, folder_info;
  if (::lstat(backup.c_str(), &info) != 0) return method;
  if (S_ISDIR(info.st_mode)) refuse("its backup " + backup + " is a folder");
  if (!privileged && info.st_uid != user && ::stat(backup_folder.c_str(), &folder_info) == 0 &&
      (folder_info.st_mode & S_ISVTX) && folder_info.st_uid != user) {
    refuse("cannot replace its backup " + backup +
           ": it belongs to another user, in a folder with the sticky bit");
  }
  return method;
}

void WriteBack(const TextFile& file, WriteMethod method, const std::string& backup,
               std::string_view bytes) {
  std::optional<support::NewFile> corrected;
  bool touched = false;
  try {
    if (method == WriteMethod::kReplace) {
      corrected.emplace(CopyBeside(file.path, bytes, Of(file), file.name));
    }
    if (!backup.empty()) {
      support::NewFile original = CopyBeside(backup, file.bytes, Of(file), backup);
      if (const int error = original.RenameTo(backup); error != 0) {
        throw CommandError(backup + ": cannot write: " + std::strerror(error));
      }
    }
    if (corrected) {
      if (const int error = corrected->RenameTo(file.path); error != 0) {
        throw CommandError(file.name + ": cannot write: " + std::strerror(error));
      }
    } else {
      WriteInPlace(file, bytes, touched);
    }
    support::SyncFolderOf(file.path);
    if (!backup.empty()) support::SyncFolderOf(backup);
  } catch (const CommandError& error) {
    std::string message = error.what();
    message += "; " + file.name +
               (touched ? " may be damaged; the original is in " + backup : " was not changed");
    try {
      message += "; the corrected text is in " +
                 (corrected ? LinkBeside(*corrected, file.path, ".fixed", bytes, Of(file))
                            : WriteBeside(file, ".fixed", bytes));
    } catch (const CommandError& also) {
      message += std::string("; the corrected text could not be kept either (") + also.what() + ")";
    }
    throw CommandError(message);
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
  now.reserve(file.bytes.size() + 1);
  return ReadAll(fd.get(), now) != 0 || now != file.bytes;
}

void ReplaceFile(const std::string& path, std::string_view bytes, mode_t mode,
                 const std::string& name) {
  support::NewFile copy = CopyBeside(path, bytes, {mode, std::nullopt}, name);
  if (const int error = copy.RenameTo(path); error != 0) {
    throw CommandError(name + ": cannot write: " + std::strerror(error));
  }
  support::SyncFolderOf(path);
}

std::string WriteBeside(const TextFile& file, const std::string& suffix, std::string_view bytes) {
  const support::NewFile copy = CopyBeside(file.path, bytes, Of(file), file.path + suffix);
  return LinkBeside(copy, file.path, suffix, bytes, Of(file));
}

}  // namespace lexivane::frontend::fix
