// `lexivane zlib compress|decompress IN OUT`: the compression wrapper's file format (a 4-byte
// little-endian original length, then a zlib stream) on the command line.
//
// OUT is written under a temporary name beside it and moved into place only when zlib
// succeeded, so a failure never leaves a partial file behind, and an existing OUT is replaced
// only with --force. Exit codes: 0 success, 2 a usage or file error, 3 a zlib failure (the
// message names the zlib code).
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
