// Output buffers of the compression wrapper: the size rule every member applies, and an
// uncompress that allocates only what the compressed data can actually fill.
//
// The original size that sizes a decompression buffer comes from the caller or from a file's
// length prefix, so it may be hostile: 2,000,000,000 in front of a 20-byte stream. A buffer of
// that size is never needed, because inflate cannot turn c bytes into more than about 1032 * c.
// BoundedUncompress gives exactly the code and bytes of one uncompress call into a buffer of
// the full size, but starts smaller and grows the buffer only while zlib reports it full.
//
// Pure functions without shared state; safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lexivane::zlibwrap {

// round(n * 0.01 + n + 12), computed in double with halves rounded away from zero (50 gives
// 63), or nothing when the result does not fit a 32-bit signed integer.
std::optional<std::int32_t> BufferSize(std::int64_t n);

// More than inflate can produce from `compressed_size` bytes: every deflate symbol costs at
// least one bit, and the longest match (258 bytes) needs a length and a distance symbol, so
// one input byte yields at most 4 * 258 = 1032 output bytes.
std::uint64_t InflateLimit(std::uint64_t compressed_size);

// The first buffer BoundedUncompress tries when the caller names none: large enough for
// ordinary compression ratios, small enough that a lying size costs little.
std::uint64_t DefaultFirstTrial(std::uint64_t compressed_size);

struct Uncompressed {
  int code = 0;                      // what uncompress answered
  std::vector<std::uint8_t> bytes;   // what it left in the buffer (its final length)
  std::uint64_t largest_buffer = 0;  // the largest buffer allocated, in bytes
};

// uncompress of `source` as if into a buffer of `buffer_size` bytes (at least 0). The buffer
// starts at `first_trial` bytes (DefaultFirstTrial when 0), never exceeds buffer_size or
// InflateLimit, and grows fourfold whenever zlib fills it. Throws lexivane::Error when memory
// for the buffer cannot be had.
Uncompressed BoundedUncompress(std::span<const std::uint8_t> source, std::int32_t buffer_size,
                               std::uint64_t first_trial = 0);

}  // namespace lexivane::zlibwrap
