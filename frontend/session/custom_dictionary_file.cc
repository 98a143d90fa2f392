#include "frontend/session/custom_dictionary_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bitset>
#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <utility>

#include "frontend/io/command_error.h"
#include "frontend/session/dictionary_lock.h"
#include "frontend/session/dictionary_text.h"
#include "frontend/session/name_words.h"
#include "lexivane/utf8.h"
#include "support/ascii.h"
#include "support/descriptor.h"
#include "support/file_replacement.h"

namespace lexivane::frontend {

namespace {

namespace fs = std::filesystem;
using support::Descriptor;
using support::WriteAll;

CommandError CannotRead(const std::string& file, const std::string& reason) {
  return CommandError(file + ": cannot read the custom dictionary: " + reason);
}

CommandError CannotSave(const std::string& file, const std::string& reason) {
  return CommandError(file + ": cannot save the custom dictionary: " + reason);
}

// The file open for reading, or CommandError with the reason it cannot be read; -1 for a
// missing one where that is none. `file` names it in messages; `path` is where it is opened.
Descriptor OpenForReading(const std::string& file, const fs::path& path, bool missing_is_none) {
  // O_NONBLOCK: a FIFO without a writer must not hold the tool up; it is refused below.
  Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0 && missing_is_none && (errno == ENOENT || errno == ENOTDIR)) return fd;
  if (fd.get() < 0) throw CannotRead(file, std::strerror(errno));
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) throw CannotRead(file, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw CannotRead(file, std::strerror(EISDIR));
  if (!S_ISREG(info.st_mode)) throw CannotRead(file, "not a regular file");
  return fd;
}

// Lines go out through a buffer of this size.
constexpr std::size_t kOutputBlock = 1 << 20;

// Lines written to an open file a block at a time; a failure to write throws what `failure`
// makes of the file's name and the reason.
class LineWriter {
 public:
  using Failure = CommandError (*)(const std::string& file, const std::string& reason);
  LineWriter(int fd, const std::string& file, Failure failure)
      : fd_(fd), file_(file), failure_(failure) {}
  void Write(std::string_view line, std::string_view end) {
    buffer_.append(line).append(end);
    if (buffer_.size() >= kOutputBlock) Flush();
  }
  void Flush() {
    if (const int error = WriteAll(fd_, buffer_)) throw failure_(file_, std::strerror(error));
    buffer_.clear();
  }

 private:
  int fd_;
  const std::string& file_;
  Failure failure_;
  std::string buffer_;
};

// --- loading -----------------------------------------------------------------------------------

// The line's word when the names rule may ask about it (word_rules.h): a name of the word list,
// in small letters.
std::optional<std::u16string> NameOf(std::string_view line) {
  std::u16string word;
  for (const char c : line) {
    if (!(support::IsAsciiLetter(c) || c == '\'')) return std::nullopt;
    word += static_cast<char16_t>(support::AsciiLower(c));
  }
  if (!IsNameInSmallLetters(word)) return std::nullopt;
  return word;
}

// Loads the open `fd`, the file `file`, into the engine's thread, or throws CommandError; puts
// its names in `names`. The engine reads files only, and ends lines at CR or CR LF only, so
// the lines of a file with a lone LF go to it as a copy in memory with CR LF.
void Load(SpellCheck& engine, const std::string& file, int fd, AcceptedNames* names) {
  // The library takes UTF-16 names; another name would come back from a broken one.
  const std::u16string name = FromUtf8(file);
  if (ToUtf8(name) != file) throw CannotRead(file, "file names must be valid UTF-8");
  bool lone_lf = false;
  DictionaryLines lines(fd, file);
  for (std::string_view line, end; lines.Next(line, end);) {
    lone_lf = lone_lf || end == "\n";
    if (names) {
      if (auto word = NameOf(line)) names->insert(std::move(*word));
    }
  }
  if (!lone_lf) {
    if (!engine.LoadCustom(name)) throw CannotRead(file, "read error");
    return;
  }
  const Descriptor copy(::memfd_create("lexivane-custom-dictionary", MFD_CLOEXEC));
  if (copy.get() < 0) throw CannotRead(file, std::strerror(errno));
  LineWriter out(copy.get(), file, CannotRead);
  DictionaryLines again(fd, file);
  for (std::string_view line, end; again.Next(line, end);) out.Write(line, "\r\n");
  out.Flush();
  if (!engine.LoadCustom(FromUtf8("/proc/self/fd/" + std::to_string(copy.get())))) {
    throw CannotRead(file, "read error");
  }
}

// --- saving ------------------------------------------------------------------------------------

// The words a save adds, as the lines they become, less those the file holds already: an entry
// with the word's key, or with the key of the line the word would be (a word with a character
// that has no byte is written with "?"), so that no line is written twice. Lines shorter than
// two characters are no entries (the engine skips them), and words that short are never added:
// the word check accepts them anyway.
class NewEntries {
 public:
  explicit NewEntries(const std::vector<std::u16string>& words) {
    for (const std::u16string& word : words) {
      if (word.size() < 2) continue;
      Entry entry{EntryBytes(word), EntryKey(word), {}};
      EntryKey(entry.line, entry.line_key);
      if (Held(entry.key) || Held(entry.line_key)) continue;
      lengths_.set(std::min(word.size(), kLongest));
      entries_.push_back(std::move(entry));
    }
  }

  // Drops the words that the file's line `line` holds.
  void DropHeldBy(std::string_view line) {
    if (line.size() < 2 || !lengths_.test(std::min(line.size(), kLongest))) return;
    EntryKey(line, key_);
    if (std::erase_if(entries_,
                      [&](const Entry& e) { return e.key == key_ || e.line_key == key_; })) {
      lengths_.reset();
      for (const Entry& entry : entries_) lengths_.set(std::min(entry.key.size(), kLongest));
    }
  }

  bool empty() const { return entries_.empty(); }
  void WriteTo(LineWriter& out, std::string_view end) const {
    for (const Entry& entry : entries_) out.Write(entry.line, end);
  }

 private:
  struct Entry {
    std::string line;
    std::u16string key, line_key;
  };
  bool Held(const std::u16string& key) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const Entry& e) { return e.key == key || e.line_key == key; });
  }

  static constexpr std::size_t kLongest = 63;  // the lengths told apart; longer ones share one
  std::vector<Entry> entries_;
  std::bitset<kLongest + 1> lengths_;
  std::u16string key_;
};

// Makes the default file's folder and its missing parents, private to the user as the engine
// makes it. A failure is left for the save to report.
void MakeFolders(const fs::path& folder) {
  if (folder.empty() || ::mkdir(folder.c_str(), 0700) == 0 || errno != ENOENT) return;
  MakeFolders(folder.parent_path());
  ::mkdir(folder.c_str(), 0700);
}

// Truncates the open file and writes into it what `from` holds, as the engine writes where it
// cannot replace a file.
void CopyInPlace(int from, Descriptor& to, const std::string& file) {
  int error = ::ftruncate(to.get(), 0) == 0 ? 0 : errno;
  std::string block(kOutputBlock, '\0');
  for (off_t at = 0; error == 0;) {
    const ssize_t n = ::pread(from, block.data(), block.size(), at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error = n < 0 ? errno : 0;
      break;
    }
    error = WriteAll(to.get(), std::string_view(block).substr(0, static_cast<std::size_t>(n)));
    at += n;
  }
  if (const int closed = to.Close(); error == 0) error = closed;
  if (error != 0) throw CannotSave(file, std::strerror(error));
}

// Makes what `write` writes the content of `target`, replacing it as the engine replaces its
// file (see the header): through a new hidden file beside it, renamed over it, with the old
// file's owner and permission bits; in place where the folder refuses that.
template <typename Write>
void Replace(const std::string& file, const fs::path& target, const Write& write) {
  // Opening the file judges write access on the file itself, before the folder may hide it.
  Descriptor existing(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info;
  if (existing.get() < 0 ? errno != ENOENT : ::fstat(existing.get(), &info) != 0) {
    throw CannotSave(file, std::strerror(errno));
  }
  const bool exists = existing.get() >= 0;
  support::NewFile replacement =
      support::NewFile::Beside(target.native(), exists ? info.st_mode & 0777 : 0666);
  if (replacement.error() != 0) {
    if (!exists || !support::FolderRefuses(replacement.error())) {
      throw CannotSave(file, std::strerror(replacement.error()));
    }
    const Descriptor in_memory(::memfd_create("lexivane-custom-dictionary", MFD_CLOEXEC));
    if (in_memory.get() < 0) throw CannotSave(file, std::strerror(errno));
    LineWriter out(in_memory.get(), file, CannotSave);
    write(out);
    out.Flush();
    return CopyInPlace(in_memory.get(), existing, file);
  }
  const auto fail = [&](int error) {
    if (error != 0) throw CannotSave(file, std::strerror(error));
  };
  if (exists) fail(replacement.GiveOwnerAndMode(info.st_uid, info.st_gid, info.st_mode));
  LineWriter out(replacement.fd(), file, CannotSave);
  write(out);
  out.Flush();
  fail(replacement.Sync());
  fail(replacement.Close());
  const int renamed = replacement.RenameTo(target.native());
  if (renamed == 0) return;
  if (!exists || !support::FolderRefuses(renamed)) fail(renamed);
  const Descriptor written(::open(replacement.name().c_str(), O_RDONLY | O_CLOEXEC));
  fail(written.get() < 0 ? errno : 0);
  CopyInPlace(written.get(), existing, file);
}

// Adds the entries the file `target` does not hold yet, under the lock.
void Save(const std::string& file, const fs::path& target, NewEntries& entries) {
  const Descriptor old = OpenForReading(file, target, true);
  std::optional<std::string> first_line_end;
  if (old.get() >= 0) {
    DictionaryLines lines(old.get(), file);
    for (std::string_view line, end; !entries.empty() && lines.Next(line, end);) {
      if (!first_line_end && !end.empty()) first_line_end = end;
      entries.DropHeldBy(line);
    }
  }
  if (entries.empty()) return;
  // The file's own line end; CR LF, the engine's, for a file without one.
  const std::string line_end = first_line_end.value_or("\r\n");
  Replace(file, target, [&](LineWriter& out) {
    if (old.get() >= 0) {
      // The entries as the engine reads them, in the file's line end.
      DictionaryLines lines(old.get(), file);
      for (std::string_view line, end; lines.Next(line, end);) {
        if (line.size() >= 2) out.Write(line, line_end);
      }
    }
    entries.WriteTo(out, line_end);
  });
}

}  // namespace

std::string DefaultCustomDictionaryFile() {
  return ToUtf8(DefaultCustomDictionaryPath());
}

CustomDictionaryFile::CustomDictionaryFile(std::optional<std::string> named, Missing missing)
    : path_(named ? std::move(*named) : DefaultCustomDictionaryFile()),
      named_(named.has_value()),
      missing_(missing) {}

bool CustomDictionaryFile::IsMissing() const {
  struct stat info;
  return path_.empty() ||
         (::stat(path_.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR));
}

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat info;
  if (path.empty() || ::stat(path.c_str(), &info) != 0) return std::nullopt;
  constexpr std::int64_t kBillion = 1000000000;
  return FileStamp{static_cast<std::int64_t>(info.st_dev), static_cast<std::int64_t>(info.st_ino),
                   static_cast<std::int64_t>(info.st_size),
                   info.st_mtim.tv_sec * kBillion + info.st_mtim.tv_nsec,
                   info.st_ctim.tv_sec * kBillion + info.st_ctim.tv_nsec};
}

std::optional<FileStamp> CustomDictionaryFile::Stamp() const {
  return StampOf(path_);
}

bool CustomDictionaryFile::LoadInto(SpellCheck& engine, AcceptedNames* words) const {
  if ((!named_ || missing_ == Missing::kNoneUntilMade) && IsMissing()) return false;
  const Descriptor fd = OpenForReading(path_, path_, false);
  Load(engine, path_, fd.get(), words);
  return true;
}

void CustomDictionaryFile::AddWords(const std::vector<std::u16string>& words) const {
  if (path_.empty()) {
    throw CommandError("there is no place for the custom dictionary (no home folder)");
  }
  if (ToUtf8(FromUtf8(path_)) != path_) throw CannotSave(path_, "file names must be valid UTF-8");
  try {
    NewEntries entries(words);
    if (entries.empty()) return;
    if (!named_) MakeFolders(fs::path(path_).parent_path());
    const fs::path target = SaveTarget(path_);
    const DictionaryLock lock(path_, target);
    Save(path_, target, entries);
  } catch (const CommandError&) {
    throw;
  } catch (const std::exception& error) {
    throw CannotSave(path_, error.what());
  }
}

}  // namespace lexivane::frontend
