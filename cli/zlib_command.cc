#include "cli/zlib_command.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <new>

#include "frontend/io/command_error.h"
#include "lexivane/utf8.h"
#include "lexivane/zlib_wrapper.h"
#include "support/descriptor.h"

namespace lexivane::cli {

using namespace frontend;

namespace {

namespace fs = std::filesystem;
using support::Descriptor;

// The wrapper takes UTF-16 paths; a name that is not valid UTF-8 would come back as another
// name, so it is refused rather than silently changed.
std::u16string PathArgument(const std::string& path) {
  std::u16string converted = lexivane::FromUtf8(path);
  if (lexivane::ToUtf8(converted) != path) {
    throw CommandError(path + ": file names must be valid UTF-8");
  }
  return converted;
}

[[noreturn]] void RefuseExisting(const std::string& output) {
  throw CommandError(output + ": the file exists; use --force to replace it");
}

[[noreturn]] void CannotOpen(const std::string& output, int error) {
  throw CommandError("cannot open '" + output + "' for writing: " + std::strerror(error));
}

[[noreturn]] void CannotWrite(const std::string& output, int error) {
  throw CommandError("cannot write '" + output + "': " + std::strerror(error));
}

// Where the output goes. A symbolic link stays and the file it leads to is replaced; a device
// or FIFO is written into, since replacing it would turn /dev/null into an ordinary file.
struct Destination {
  enum class Kind { kNew, kRegular, kSpecial };
  Kind kind;
  std::string path;  // OUT, or the file its symbolic links lead to
  mode_t mode = 0;   // the permission bits of the regular file that is replaced
};

Destination FindDestination(const std::string& output, bool force) {
  struct stat info;
  if (::lstat(output.c_str(), &info) != 0) {
    if (errno == ENOENT) return {Destination::Kind::kNew, output};
    CannotOpen(output, errno);
  }
  if (!force) RefuseExisting(output);
  std::string path = output;
  if (S_ISLNK(info.st_mode)) {
    std::error_code error;
    path = fs::canonical(output, error).string();
    if (error == std::errc::no_such_file_or_directory) {
      throw CommandError(output + ": a symbolic link to a missing file; not writing through it");
    }
    if (error) CannotOpen(output, error.value());
    if (::stat(path.c_str(), &info) != 0) CannotOpen(output, errno);
  }
  if (S_ISDIR(info.st_mode)) throw CommandError(output + ": is a directory");
  if (S_ISREG(info.st_mode)) return {Destination::Kind::kRegular, path, info.st_mode & 0777};
  return {Destination::Kind::kSpecial, path};
}

// A private folder (mode 0700) that holds the output while zlib writes it, so that nobody else
// can open the file before its permission bits are set. It is made beside the destination, so
// that the final rename stays on one file system, and is removed with whatever it still holds
// when this object dies.
class TemporaryOutput {
 public:
  TemporaryOutput(const fs::path& folder, const std::string& output) {
    std::string pattern = (folder / ".lexivane-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) CannotOpen(output, errno);
    folder_ = pattern;
    file_ = (fs::path(folder_) / "out").string();
  }
  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;
  ~TemporaryOutput() {
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  const std::string& file() const { return file_; }

 private:
  std::string folder_;
  std::string file_;
};

// Copies the finished file into a device or FIFO.
void WriteInto(const std::string& temporary, const std::string& path, const std::string& output) {
  const Descriptor in(::open(temporary.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) CannotWrite(output, errno);
  Descriptor out(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (out.get() < 0) CannotOpen(output, errno);
  struct stat info;
  if (::fstat(out.get(), &info) != 0) CannotWrite(output, errno);
  // Writing over a regular file in place would leave a mix of old and new bytes.
  if (S_ISREG(info.st_mode)) CannotWrite(output, EEXIST);

  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(in.get(), chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) CannotWrite(output, errno);
    if (n == 0) break;
    const std::string_view read(chunk, static_cast<std::size_t>(n));
    if (const int error = support::WriteAll(out.get(), read); error != 0) {
      CannotWrite(output, error);
    }
  }
  if (const int error = out.Close(); error != 0) CannotWrite(output, error);
}

// Moves the finished file to a new OUT. Without --force a hard link is made instead of a
// rename, since it fails when OUT exists: even a file created since the first check is kept.
// File systems without hard links fall back to a check and a rename.
void MoveTo(const std::string& temporary, const std::string& path, const std::string& output,
            bool force) {
  std::error_code error;
  if (!force) {
    fs::create_hard_link(temporary, path, error);
    if (!error) return;
    struct stat info;
    if (error == std::errc::file_exists || ::lstat(path.c_str(), &info) == 0) {
      RefuseExisting(output);
    }
  }
  fs::rename(temporary, path, error);
  if (error) CannotWrite(output, error.value());
}

// Errors about the temporary file are errors about OUT as far as the user is concerned.
std::string AboutOutput(std::string message, const std::string& temporary,
                        const std::string& output) {
  for (std::size_t at = message.find(temporary); at != std::string::npos;
       at = message.find(temporary, at + output.size())) {
    message.replace(at, temporary.size(), output);
  }
  return message;
}

}  // namespace

void AddZlibCommand(CLI::App& app, ZlibOptions& options) {
  CLI::App* zlib = app.add_subcommand(
      "zlib", "Compress and decompress files: a 4-byte little-endian length, then a zlib stream");
  zlib->require_subcommand(1);
  zlib->footer(
      "OUT is never overwritten unless --force is given, and is left untouched when the command "
      "fails.\nExit status: 0 success, 2 usage or file error, 3 zlib error.");

  CLI::App* compress = zlib->add_subcommand(
      "compress", "Write OUT as the length of IN followed by IN compressed with zlib");
  compress
      ->add_option("--level", options.level,
                   "zlib level: -1 for zlib's default (6), 0 (stored) to 9 (smallest)")
      ->check(CLI::Range(-1, 9));
  CLI::App* decompress = zlib->add_subcommand(
      "decompress", "Write OUT as the content of IN, a file that `lexivane zlib compress` wrote");
  decompress->callback([&options] { options.decompress = true; });

  for (CLI::App* command : {compress, decompress}) {
    command->add_option("IN", options.input, "The file to read")->required();
    command->add_option("OUT", options.output, "The file to write")->required();
    command->add_flag("-f,--force", options.force,
                      "Replace OUT if it exists (without it, an existing OUT is refused)");
    command->footer("Exit status: 0 success, 2 usage or file error, 3 zlib error.");
  }
}

int RunZlib(const ZlibOptions& options) {
  const std::u16string input = PathArgument(options.input);
  PathArgument(options.output);
  const Destination destination = FindDestination(options.output, options.force);
  const bool special = destination.kind == Destination::Kind::kSpecial;
  struct stat input_info;
  const mode_t input_mode =
      ::stat(options.input.c_str(), &input_info) == 0 ? input_info.st_mode & 0777 : 0600;

  std::error_code error;
  const fs::path folder =
      special ? fs::temp_directory_path(error) : fs::path(destination.path).parent_path();
  if (error) CannotOpen(options.output, error.value());
  TemporaryOutput temporary(folder, options.output);
  ZlibWrapper zlib;
  std::int32_t code = 0;
  try {
    const std::u16string written = lexivane::FromUtf8(temporary.file());
    code = options.decompress
               ? zlib.DecompressFile(input, written)
               : zlib.CompressFile(input, written, static_cast<std::int16_t>(options.level));
  } catch (const Error& error) {
    throw CommandError(AboutOutput(error.what(), temporary.file(), options.output));
  } catch (const std::bad_alloc&) {
    throw CommandError("cannot " + std::string(options.decompress ? "decompress" : "compress") +
                       " '" + options.input + "': out of memory");
  }
  if (code != 0) {
    std::cerr << "lexivane: zlib cannot " << (options.decompress ? "decompress" : "compress")
              << " '" << options.input << "': " << DescribeZlibCode(code) << "; '" << options.output
              << "' was not written\n";
    return kExitZlibFailure;
  }

  if (options.decompress) {
    // The length prefix only bounds the output; a file whose content is shorter is intact by
    // its checksum, but may not be what the writer meant.
    std::error_code ignored;
    const auto written = fs::file_size(temporary.file(), ignored);
    if (written != static_cast<std::uintmax_t>(zlib.OriginalSize())) {
      std::cerr << "lexivane: warning: '" << options.input << "' gives its length as "
                << zlib.OriginalSize() << " bytes but holds " << written << '\n';
    }
  }

  if (special) {
    WriteInto(temporary.file(), destination.path, options.output);
    return kExitClean;
  }
  // A replaced file keeps its permission bits; a new one gets none that its input lacks.
  struct stat info;
  if (::stat(temporary.file().c_str(), &info) != 0) CannotWrite(options.output, errno);
  const mode_t mode =
      destination.kind == Destination::Kind::kNew ? info.st_mode & input_mode : destination.mode;
  if (::chmod(temporary.file().c_str(), mode) != 0) CannotWrite(options.output, errno);
  MoveTo(temporary.file(), destination.path, options.output, options.force);
  return kExitClean;
}

}  // namespace lexivane::cli
