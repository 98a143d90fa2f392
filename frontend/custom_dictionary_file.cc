#include "frontend/custom_dictionary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <thread>

#include "frontend/command_error.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {

namespace {

// Why the file cannot be read, or nothing when it can. LoadCustom answers only false, so the
// reason is asked of the system.
std::optional<std::string> WhyUnreadable(const std::string& file) {
  // O_NONBLOCK: a FIFO without a writer must not hold the tool up; it is refused below.
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::strerror(errno);
  struct stat info;
  const int status = ::fstat(fd, &info);
  const int error = errno;
  ::close(fd);
  if (status != 0) return std::strerror(error);
  if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
  if (!S_ISREG(info.st_mode)) return "not a regular file";
  return std::nullopt;
}

// Loads `file` into the engine's thread, or throws CommandError with the reason.
void Load(SpellCheck& engine, const std::string& file) {
  const auto cannot_read = [&](const std::string& reason) {
    return CommandError(file + ": cannot read the custom dictionary: " + reason);
  };
  if (const auto reason = WhyUnreadable(file)) throw cannot_read(*reason);
  // The library takes UTF-16 names; another name would come back from a broken one.
  const std::u16string name = FromUtf8(file);
  if (ToUtf8(name) != file) throw cannot_read("file names must be valid UTF-8");
  if (!engine.LoadCustom(name)) throw cannot_read("read error");
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

bool CustomDictionaryFile::LoadInto(SpellCheck& engine) const {
  if ((!named_ || missing_ == Missing::kNoneUntilMade) && IsMissing()) return false;
  Load(engine, path_);
  return true;
}

void CustomDictionaryFile::AddWords(const std::vector<std::u16string>& words) const {
  if (path_.empty()) {
    throw CommandError("there is no place for the custom dictionary (no home folder)");
  }
  // The custom dictionary belongs to the thread: a fresh one starts empty, so what is saved is
  // the file as it is now and the new words, whatever this thread's engines hold.
  std::exception_ptr failure;
  std::thread([&] {
    try {
      SpellCheck engine;
      engine.Init();
      if (!IsMissing()) Load(engine, path_);
      bool added = false;
      for (const std::u16string& word : words) {
        if (engine.CheckWord(word) && !engine.CheckWord(word, false)) continue;  // already there
        engine.AddToCustom(word);
        added = true;
      }
      // The default file's folder is made when missing; a named file's must exist.
      if (added) engine.SaveCustom(named_ ? FromUtf8(path_) : std::u16string());
    } catch (const CommandError&) {
      failure = std::current_exception();
    } catch (const std::exception& error) {
      failure = std::make_exception_ptr(
          CommandError(path_ + ": cannot save the custom dictionary: " + error.what()));
    }
  }).join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace lexivane::frontend
