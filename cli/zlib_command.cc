#include "cli/zlib_command.h"

#include <CLI/CLI.hpp>
#include <filesystem>
#include <iostream>
#include <random>

#include "cli/cli_support.h"
#include "lexivane/zlib_wrapper.h"
#include "platform/files.h"

namespace lexivane::cli {

namespace {

namespace fs = std::filesystem;

// The wrapper takes UTF-16 paths; a name that is not valid UTF-8 would come back as another
// name, so it is refused rather than silently changed.
std::u16string PathArgument(const std::string& path) {
  std::u16string converted = lexivane::FromUtf8(path);
  if (lexivane::ToUtf8(converted) != path) {
    throw CommandError(path + ": file names must be valid UTF-8");
  }
  return converted;
}

bool Exists(const fs::path& path) {
  std::error_code ignored;
  return fs::exists(fs::symlink_status(path, ignored));
}

[[noreturn]] void RefuseExisting(const std::string& output) {
  throw CommandError(output + ": the file exists; use --force to replace it");
}

// A hidden file beside OUT, so that the final rename stays on one file system. Removed when
// this object dies unless it was moved into place.
class TemporaryOutput {
 public:
  explicit TemporaryOutput(const std::string& output) : output_(output) {
    const fs::path out(output);
    std::random_device random;
    const std::string name = "." + out.filename().string() + ".lexivane-" +
                             std::to_string(random()) + std::to_string(random()) + ".tmp";
    path_ = (out.parent_path() / name).string();
  }
  TemporaryOutput(const TemporaryOutput&) = delete;
  TemporaryOutput& operator=(const TemporaryOutput&) = delete;
  ~TemporaryOutput() {
    if (!moved_) platform::DeleteFileQuietly(lexivane::FromUtf8(path_));
  }

  const std::string& path() const { return path_; }

  void MoveIntoPlace(bool force) {
    std::error_code error;
    if (!force) {
      // A hard link fails when OUT exists, so even a file created since the first check is
      // kept. File systems without hard links fall back to a check and a rename.
      fs::create_hard_link(path_, output_, error);
      if (!error) {
        moved_ = true;
        platform::DeleteFileQuietly(lexivane::FromUtf8(path_));
        return;
      }
      if (error == std::errc::file_exists || Exists(output_)) RefuseExisting(output_);
    }
    fs::rename(path_, output_, error);
    if (error) throw CommandError(output_ + ": cannot write: " + error.message());
    moved_ = true;
  }

 private:
  std::string output_;
  std::string path_;
  bool moved_ = false;
};

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
  if (!options.force && Exists(options.output)) RefuseExisting(options.output);
  if (fs::is_directory(options.output)) throw CommandError(options.output + ": is a directory");

  TemporaryOutput temporary(options.output);
  ZlibWrapper zlib;
  std::int32_t code = 0;
  try {
    const std::u16string written = lexivane::FromUtf8(temporary.path());
    code = options.decompress
               ? zlib.DecompressFile(input, written)
               : zlib.CompressFile(input, written, static_cast<std::int16_t>(options.level));
  } catch (const Error& error) {
    throw CommandError(AboutOutput(error.what(), temporary.path(), options.output));
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
    const auto written = fs::file_size(temporary.path(), ignored);
    if (written != static_cast<std::uintmax_t>(zlib.OriginalSize())) {
      std::cerr << "lexivane: warning: '" << options.input << "' gives its length as "
                << zlib.OriginalSize() << " bytes but holds " << written << '\n';
    }
  }
  temporary.MoveIntoPlace(options.force);
  return kExitClean;
}

}  // namespace lexivane::cli
