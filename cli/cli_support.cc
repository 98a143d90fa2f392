#include "cli/cli_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstring>

#include "lexivane/utf8.h"

namespace lexivane::cli {

namespace {

// Why the file cannot be read, or nothing when it can. LoadCustom answers only false, so the
// tool asks the system itself for a reason it can show.
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

[[noreturn]] void CannotRead(const std::string& file, const std::string& reason) {
  throw CommandError(file + ": cannot read the custom dictionary: " + reason);
}

}  // namespace

std::string DefaultCustomDictionaryFile() {
  return ToUtf8(DefaultCustomDictionaryPath());
}

void AddCustomOption(CLI::App& command, std::optional<std::string>& custom_file) {
  command
      .add_option("--custom", custom_file,
                  "Custom dictionary to use instead of " + DefaultCustomDictionaryFile())
      ->check(CLI::Validator(
          [](const std::string& file) { return file.empty() ? "the file name is empty" : ""; },
          "FILE"));
}

std::optional<std::string> LoadCustomDictionary(SpellCheck& engine,
                                                const std::optional<std::string>& custom_file) {
  const std::string file = custom_file.value_or(DefaultCustomDictionaryFile());
  if (file.empty()) return std::nullopt;
  if (!custom_file) {
    // The default file is optional: a missing file, or a folder on its path that is missing or
    // is a file (HOME=/dev/null), means there is none. Any other failure is reported, since
    // checking without the user's words would report them all.
    struct stat info;
    if (::stat(file.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
      return std::nullopt;
    }
  }
  if (const auto reason = WhyUnreadable(file)) CannotRead(file, *reason);
  // The library takes UTF-16 names; another name would come back from a broken one.
  const std::u16string name = FromUtf8(file);
  if (ToUtf8(name) != file) CannotRead(file, "file names must be valid UTF-8");
  if (!engine.LoadCustom(name)) CannotRead(file, "read error");
  return file;
}

std::optional<std::string> NoneUntilMade(const std::optional<std::string>& custom_file) {
  struct stat info;
  if (custom_file && ::stat(custom_file->c_str(), &info) != 0 && errno == ENOENT) {
    return std::string();
  }
  return custom_file;
}

std::string Utf8(std::u16string_view text) {
  return ToUtf8(text);
}

}  // namespace lexivane::cli
