#include "zlibwrap/bounded_uncompress.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>

#include "lexivane/error.h"

namespace lexivane::zlibwrap {

std::optional<std::int32_t> BufferSize(std::int64_t n) {
  const double size = static_cast<double>(n) * 0.01 + static_cast<double>(n) + 12.0;
  const double rounded = std::round(size);
  if (rounded < std::numeric_limits<std::int32_t>::min() ||
      rounded > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(rounded);
}

std::uint64_t InflateLimit(std::uint64_t compressed_size) {
  // One byte more than the bound itself would do; the slack costs nothing.
  return 1032 * compressed_size + 1032;
}

std::uint64_t DefaultFirstTrial(std::uint64_t compressed_size) {
  return std::max<std::uint64_t>(std::uint64_t{16} << 20, 8 * compressed_size);
}

Uncompressed BoundedUncompress(std::span<const std::uint8_t> source, std::int32_t buffer_size,
                               std::uint64_t first_trial) {
  const std::uint64_t full = std::min<std::uint64_t>(
      static_cast<std::uint64_t>(std::max(buffer_size, 0)), InflateLimit(source.size()));
  std::uint64_t trial =
      std::min(full, first_trial != 0 ? first_trial : DefaultFirstTrial(source.size()));

  Uncompressed result;
  for (;;) {
    // Not zeroed: zlib writes every byte that is read back, and clearing a large buffer would
    // cost as much as the decompression itself.
    std::unique_ptr<std::uint8_t[]> buffer;
    try {
      buffer = std::make_unique_for_overwrite<std::uint8_t[]>(trial);
    } catch (const std::bad_alloc&) {
      throw Error(kErrorOutOfMemory, "out of memory: cannot allocate a decompression buffer of " +
                                         std::to_string(trial) + " bytes");
    }
    result.largest_buffer = std::max(result.largest_buffer, trial);

    uLongf length = static_cast<uLongf>(trial);
    result.code =
        ::uncompress(buffer.get(), &length, source.data(), static_cast<uLong>(source.size()));
    // uncompress answers Z_BUF_ERROR only when the output filled the buffer (running out of
    // input is Z_DATA_ERROR). Any other answer from a buffer that was never full is the answer
    // a larger buffer would give too, since inflate reads and writes the same bytes.
    if (result.code == Z_BUF_ERROR && trial < full) {
      trial = std::min(full, trial * 4);
      continue;
    }
    result.bytes.assign(buffer.get(), buffer.get() + length);
    return result;
  }
}

}  // namespace lexivane::zlibwrap
