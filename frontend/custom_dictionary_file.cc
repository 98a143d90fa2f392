#include "frontend/custom_dictionary_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <thread>
#include <utility>

#include "frontend/command_error.h"
#include "frontend/descriptor.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {

namespace {

namespace fs = std::filesystem;

CommandError CannotRead(const std::string& file, const std::string& reason) {
  return CommandError(file + ": cannot read the custom dictionary: " + reason);
}

CommandError CannotSave(const std::string& file, const std::string& reason) {
  return CommandError(file + ": cannot save the custom dictionary: " + reason);
}

// The whole file, or CommandError with the reason it cannot be read.
std::string ReadFile(const std::string& file) {
  // O_NONBLOCK: a FIFO without a writer must not hold the tool up; it is refused below.
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) throw CannotRead(file, std::strerror(errno));
  struct stat info;
  if (::fstat(fd.get(), &info) != 0) throw CannotRead(file, std::strerror(errno));
  if (S_ISDIR(info.st_mode)) throw CannotRead(file, std::strerror(EISDIR));
  if (!S_ISREG(info.st_mode)) throw CannotRead(file, "not a regular file");
  std::string bytes;
  if (const int error = ReadAll(fd.get(), bytes)) throw CannotRead(file, std::strerror(error));
  return bytes;
}

// --- line ends ---------------------------------------------------------------------------------

bool HasLoneLf(std::string_view bytes) {
  for (auto at = bytes.find('\n'); at != std::string_view::npos; at = bytes.find('\n', at + 1)) {
    if (at == 0 || bytes[at - 1] != '\r') return true;
  }
  return false;
}

// `bytes` with every line end the engine would not see (an LF on its own) made CR LF.
std::string WithCrLf(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) out += '\r';
    out += bytes[i];
  }
  return out;
}

// The line end of the file's first line; CR LF, the engine's own, for a file without one.
std::string_view LineEndOf(std::string_view bytes) {
  const auto at = bytes.find_first_of("\r\n");
  if (at == std::string_view::npos) return "\r\n";
  if (bytes[at] == '\n') return "\n";
  return bytes.substr(at + 1, 1) == "\n" ? "\r\n" : "\r";
}

// The engine's file (every line ending in CR LF, and no CR or LF inside an entry) with `end`
// for each line end.
std::string WithLineEnds(std::string_view engine_file, std::string_view end) {
  std::string out;
  out.reserve(engine_file.size());
  for (std::size_t at = 0; at < engine_file.size();) {
    const auto line_end = engine_file.find("\r\n", at);
    if (line_end == std::string_view::npos) {
      out += engine_file.substr(at);
      break;
    }
    out.append(engine_file.substr(at, line_end - at)).append(end);
    at = line_end + 2;
  }
  return out;
}

// --- loading -----------------------------------------------------------------------------------

// Loads `file`, whose content is `bytes`, into the engine's thread, or throws CommandError. The
// engine reads files only, so bytes it would misread go to it as a file in memory.
void Load(SpellCheck& engine, const std::string& file, std::string_view bytes) {
  // The library takes UTF-16 names; another name would come back from a broken one.
  const std::u16string name = FromUtf8(file);
  if (ToUtf8(name) != file) throw CannotRead(file, "file names must be valid UTF-8");
  if (!HasLoneLf(bytes)) {
    if (!engine.LoadCustom(name)) throw CannotRead(file, "read error");
    return;
  }
  const Descriptor copy(::memfd_create("lexivane-custom-dictionary", MFD_CLOEXEC));
  if (copy.get() < 0) throw CannotRead(file, std::strerror(errno));
  if (const int error = WriteAll(copy.get(), WithCrLf(bytes))) {
    throw CannotRead(file, std::strerror(error));
  }
  if (!engine.LoadCustom(FromUtf8("/proc/self/fd/" + std::to_string(copy.get())))) {
    throw CannotRead(file, "read error");
  }
}

// --- saving ------------------------------------------------------------------------------------

// ".NAME" + `suffix`, the name of a file that belongs beside `file`.
std::string HiddenName(const fs::path& file, std::string_view suffix) {
  std::string name = ".";
  name += file.filename().string();
  name += suffix;
  return name;
}

// A file of ours, removed when the object dies unless Keep() was called.
class OwnFile {
 public:
  explicit OwnFile(std::string name) : name_(std::move(name)) {}
  OwnFile(const OwnFile&) = delete;
  OwnFile& operator=(const OwnFile&) = delete;
  ~OwnFile() {
    if (!kept_) ::unlink(name_.c_str());
  }
  const std::string& name() const { return name_; }
  void Keep() { kept_ = true; }

 private:
  std::string name_;
  bool kept_ = false;
};

// The refusals with which a folder turns away a new file or the replacing of an old one (with
// the sticky bit, only a file's owner may replace it), although the file itself may be written.
bool FolderRefuses(int error) {
  return error == EACCES || error == EPERM;
}

// Makes the default file's folder and its missing parents, private to the user as the engine
// makes it. A failure is left for the save to report.
void MakeFolders(const fs::path& folder) {
  if (folder.empty() || ::mkdir(folder.c_str(), 0700) == 0 || errno != ENOENT) return;
  MakeFolders(folder.parent_path());
  ::mkdir(folder.c_str(), 0700);
}

// The lock every save of one dictionary holds (see the header), on the file the name leads to,
// so that two names of one file (a link and its target) share it. The lock file is never
// removed: a process that removed it could leave two others locking two different files. Where
// no lock file can be made (a folder that refuses new files, in which the engine writes the
// dictionary in place, so that it keeps its inode) the dictionary itself is locked; where
// neither can be opened, or the file system has no locks, the save goes on without one and
// reports whatever keeps it from writing.
class SaveLock {
 public:
  explicit SaveLock(const std::string& file)
      : target_(TargetOf(file)),
        lock_(target_.parent_path() / HiddenName(target_, ".lock")),
        fd_(Open(lock_, target_)) {
    if (fd_.get() < 0) return;
    const auto deadline = std::chrono::steady_clock::now() + CustomDictionaryFile::kLockPatience;
    while (::flock(fd_.get(), LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) return;
      if (std::chrono::steady_clock::now() > deadline) {
        throw CannotSave(file, "another program has kept it locked for " +
                                   std::to_string(CustomDictionaryFile::kLockPatience.count()) +
                                   " seconds (" + lock_.string() + ")");
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }  // closing the descriptor releases the lock

 private:
  static fs::path TargetOf(const std::string& file) {
    std::error_code ignored;
    return fs::weakly_canonical(file, ignored);
  }
  static int Open(const fs::path& lock, const fs::path& target) {
    constexpr int kFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    int fd = ::open(lock.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
    if (fd < 0) fd = ::open(lock.c_str(), O_RDONLY | kFlags);  // another user's, say
    if (fd < 0) fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    return fd;
  }

  fs::path target_;
  fs::path lock_;
  Descriptor fd_;
};

// The engine's file for its thread's custom dictionary, written to a scratch file in the
// temporary folder, since the engine writes only files.
std::string WrittenByEngine(SpellCheck& engine, const std::string& file) {
  const char* folder = std::getenv("TMPDIR");
  std::string scratch = (folder != nullptr && *folder != '\0' ? folder : "/tmp");
  scratch += "/lexivane-XXXXXX";
  if (const Descriptor fd(::mkstemp(scratch.data())); fd.get() < 0) {
    throw CannotSave(file, "no temporary file: " + std::string(std::strerror(errno)));
  }
  const OwnFile removed(scratch);
  engine.SaveCustom(FromUtf8(scratch));
  std::string bytes;
  const Descriptor saved(::open(scratch.c_str(), O_RDONLY | O_CLOEXEC));
  const int error = saved.get() < 0 ? errno : ReadAll(saved.get(), bytes);
  if (error != 0) throw CannotSave(file, std::strerror(error));
  return bytes;
}

// Truncates and writes an open file, as the engine does where it cannot replace one.
void WriteInPlace(Descriptor& fd, std::string_view bytes, const std::string& file) {
  int error = ::ftruncate(fd.get(), 0) == 0 ? 0 : errno;
  if (error == 0) error = WriteAll(fd.get(), bytes);
  if (const int closed = fd.Close(); error == 0) error = closed;
  if (error != 0) throw CannotSave(file, std::strerror(error));
}

// Replaces the existing `file` with `bytes` as the engine replaces its file (see the header).
void Replace(const std::string& file, std::string_view bytes) {
  std::error_code error;
  const fs::path target = fs::canonical(file, error);
  if (error) throw CannotSave(file, error.message());
  // Opening the file judges write access on the file itself, before the folder may hide it.
  Descriptor existing(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK));
  struct stat info;
  if (existing.get() < 0 || ::fstat(existing.get(), &info) != 0) {
    throw CannotSave(file, std::strerror(errno));
  }
  // The name only hints at what a file left by a crash was; a long one would pass the limit.
  constexpr std::string_view kSuffix = ".XXXXXX.tmp";
  const std::string name = HiddenName(target, kSuffix);
  std::string temporary =
      (target.parent_path() / (name.size() > NAME_MAX ? HiddenName("lexivane", kSuffix) : name))
          .string();
  Descriptor fd(::mkstemps(temporary.data(), 4));
  if (fd.get() < 0) {
    if (!FolderRefuses(errno)) throw CannotSave(file, std::strerror(errno));
    return WriteInPlace(existing, bytes, file);
  }
  OwnFile copy(temporary);
  // The owner first, since a change of owner clears the set-ID bits; each part is kept where
  // the process may keep it.
  if (::fchown(fd.get(), info.st_uid, info.st_gid) != 0 &&
      ::fchown(fd.get(), static_cast<uid_t>(-1), info.st_gid) != 0) {
    // Neither: the file now belongs to the writer, as a file it made would.
  }
  int failure = ::fchmod(fd.get(), info.st_mode & 07777) == 0 ? 0 : errno;
  if (failure == 0) failure = WriteAll(fd.get(), bytes);
  if (failure == 0 && ::fsync(fd.get()) != 0 && errno != EINVAL) failure = errno;
  if (const int closed = fd.Close(); failure == 0) failure = closed;
  if (failure != 0) throw CannotSave(file, std::strerror(failure));
  if (::rename(temporary.c_str(), target.c_str()) == 0) {
    copy.Keep();
    return;
  }
  if (!FolderRefuses(errno)) throw CannotSave(file, std::strerror(errno));
  WriteInPlace(existing, bytes, file);
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

std::optional<FileStamp> CustomDictionaryFile::Stamp() const {
  struct stat info;
  if (path_.empty() || ::stat(path_.c_str(), &info) != 0) return std::nullopt;
  constexpr std::int64_t kBillion = 1000000000;
  return FileStamp{static_cast<std::int64_t>(info.st_dev), static_cast<std::int64_t>(info.st_ino),
                   static_cast<std::int64_t>(info.st_size),
                   info.st_mtim.tv_sec * kBillion + info.st_mtim.tv_nsec,
                   info.st_ctim.tv_sec * kBillion + info.st_ctim.tv_nsec};
}

bool CustomDictionaryFile::LoadInto(SpellCheck& engine, AcceptedNames* words) const {
  if ((!named_ || missing_ == Missing::kNoneUntilMade) && IsMissing()) return false;
  const std::string bytes = ReadFile(path_);
  Load(engine, path_, bytes);
  if (words) {
    // Lines as the engine cuts them, at CR, LF or CR LF; only those of ASCII letters and
    // apostrophes can be names.
    std::size_t begin = 0;
    while (begin < bytes.size()) {
      const std::size_t end = std::min(bytes.find_first_of("\r\n", begin), bytes.size());
      const std::string_view line = std::string_view(bytes).substr(begin, end - begin);
      const bool name_like = !line.empty() && std::all_of(line.begin(), line.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '\'';
      });
      if (name_like) {
        std::u16string word;
        for (const char c : line) word += static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
        words->insert(std::move(word));
      }
      begin = end + 1;
    }
  }
  return true;
}

void CustomDictionaryFile::AddWords(const std::vector<std::u16string>& words) const {
  if (path_.empty()) {
    throw CommandError("there is no place for the custom dictionary (no home folder)");
  }
  if (ToUtf8(FromUtf8(path_)) != path_) throw CannotSave(path_, "file names must be valid UTF-8");
  // The custom dictionary belongs to the thread: a fresh one starts empty, so what is saved is
  // the file as it is now and the new words, whatever this thread's engines hold.
  std::exception_ptr failure;
  std::thread([&] {
    try {
      if (!named_) MakeFolders(fs::path(path_).parent_path());
      const SaveLock lock(path_);
      SpellCheck engine;
      engine.Init();
      std::string bytes;
      if (!IsMissing()) {
        bytes = ReadFile(path_);
        Load(engine, path_, bytes);
      }
      bool added = false;
      for (const std::u16string& word : words) {
        if (engine.CheckWord(word) && !engine.CheckWord(word, false)) continue;  // already there
        engine.AddToCustom(word);
        added = true;
      }
      if (!added) return;
      const std::string_view line_end = LineEndOf(bytes);
      if (line_end == "\r\n") {
        // The default file's folder is made when missing; a named file's must exist.
        engine.SaveCustom(named_ ? FromUtf8(path_) : std::u16string());
      } else {
        Replace(path_, WithLineEnds(WrittenByEngine(engine, path_), line_end));
      }
    } catch (const CommandError&) {
      failure = std::current_exception();
    } catch (const std::exception& error) {
      failure = std::make_exception_ptr(CannotSave(path_, error.what()));
    }
  }).join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace lexivane::frontend
