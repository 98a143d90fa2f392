// The compressed-file format of the wrapper's file members: the original length as a 32-bit
// signed little-endian integer, then the zlib stream (RFC 1950) of the content. Other programs
// read and write these files, so the layout never changes.
//
// Pure functions; safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lexivane::zlibwrap {

inline constexpr std::size_t kLengthPrefixSize = 4;

// The whole file: the prefix holding `original_size`, then `stream`.
std::string FrameCompressedFile(std::int32_t original_size, std::span<const std::uint8_t> stream);

struct CompressedFile {
  std::int32_t original_size = 0;
  // The m - 4 bytes after the prefix, then 4 zero bytes: as many bytes as the file has. zlib
  // stops at the end of its stream, so the zeros are never read from a complete one.
  std::vector<std::uint8_t> stream;
};

// Splits the content of the file `path` (named in messages only) into its prefix and stream.
// Throws lexivane::Error when the content is empty or shorter than the prefix.
CompressedFile ParseCompressedFile(std::vector<std::uint8_t> content, std::u16string_view path);

}  // namespace lexivane::zlibwrap
