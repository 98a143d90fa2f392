// `lexivane zlib compress|decompress IN OUT`: the compression wrapper's file format (a 4-byte
// little-endian original length, then a zlib stream) on the command line.
//
// OUT is written in a private folder beside it and moved into place only when zlib succeeded,
// so a failure never leaves a partial file behind, and an existing OUT is replaced only with
// --force. A symbolic link OUT stays and the file it leads to is replaced; a device or FIFO is
// written into. A new OUT gets no permission bit that IN lacks; a replaced file keeps its own.
// Exit codes: 0 success, 2 a usage or file error, 3 a zlib failure (the message names the zlib
// code).
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace lexivane::cli {

inline constexpr int kExitZlibFailure = 3;

struct ZlibOptions {
  bool decompress = false;
  std::string input;
  std::string output;
  int level = -1;  // zlib's default
  bool force = false;
};

// Registers `zlib` with its two subcommands on `app`.
void AddZlibCommand(CLI::App& app, ZlibOptions& options);
int RunZlib(const ZlibOptions& options);

}  // namespace lexivane::cli
