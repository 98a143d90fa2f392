#include "zlibwrap/bounded_uncompress.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <vector>

#include "tests/test_support.h"

namespace lexivane::zlibwrap {
namespace {

using Bytes = std::vector<std::uint8_t>;
using lexivane::testing::TextLikeBytes;

Bytes Deflated(const Bytes& data, int level = Z_DEFAULT_COMPRESSION) {
  uLongf length = compressBound(data.size());
  Bytes out(length);
  EXPECT_EQ(compress2(out.data(), &length, data.data(), data.size(), level), Z_OK);
  out.resize(length);
  return out;
}

// One plain uncompress call into a buffer of the full size: what BoundedUncompress must match.
Uncompressed Reference(const Bytes& source, std::int32_t buffer_size) {
  Bytes buffer(static_cast<std::size_t>(buffer_size) + 1);
  uLongf length = static_cast<uLongf>(buffer_size);
  Uncompressed result;
  result.code = uncompress(buffer.data(), &length, source.data(), source.size());
  result.bytes.assign(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length));
  return result;
}

TEST(ZlibWrapperBuffers, BufferSizeRule) {
  EXPECT_EQ(BufferSize(1000), 1022);
  EXPECT_EQ(BufferSize(0), 12);
  EXPECT_EQ(BufferSize(1), 13);     // 13.01
  EXPECT_EQ(BufferSize(50), 63);    // 62.5: halves go up
  EXPECT_EQ(BufferSize(150), 164);  // 163.5
  EXPECT_EQ(BufferSize(-1), 11);
  EXPECT_EQ(BufferSize(-12), 0);
  EXPECT_EQ(BufferSize(-13), -1);
  EXPECT_EQ(BufferSize(2126221421), 2147483647);
  EXPECT_EQ(BufferSize(2126221422), std::nullopt);
  EXPECT_EQ(BufferSize(INT32_MAX), std::nullopt);
  EXPECT_EQ(BufferSize(INT32_MIN), std::nullopt);
}

// The growing buffer must be invisible: for valid, truncated and corrupted streams, and for
// buffers too small, exactly right or generous, every first trial gives the plain call's answer.
TEST(ZlibWrapperBuffers, GrowingBufferGivesTheSameAnswerAsOneFullBuffer) {
  const Bytes original = TextLikeBytes(5000);
  const Bytes stream = Deflated(original);

  std::vector<Bytes> sources = {stream, {}, Bytes(stream.begin(), stream.begin() + 2)};
  for (std::size_t cut : {stream.size() - 1, stream.size() - 4, stream.size() / 2}) {
    sources.emplace_back(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(cut));
  }
  for (std::size_t at :
       {std::size_t{0}, std::size_t{1}, std::size_t{5}, stream.size() / 2, stream.size() - 2}) {
    Bytes corrupted = stream;
    corrupted[at] ^= 0x5A;
    sources.push_back(corrupted);
  }
  Bytes with_trailer = stream;
  with_trailer.insert(with_trailer.end(), 4, 0);
  sources.push_back(with_trailer);

  for (std::size_t s = 0; s < sources.size(); ++s) {
    for (std::int32_t buffer_size : {0, 1, 12, 100, 4999, 5000, 5001, 1 << 20}) {
      const Uncompressed expected = Reference(sources[s], buffer_size);
      for (std::uint64_t first_trial : {1, 2, 3, 7, 64, 1000, 4999, 5000, 0}) {
        SCOPED_TRACE("source " + std::to_string(s) + ", buffer " + std::to_string(buffer_size) +
                     ", first trial " + std::to_string(first_trial));
        const Uncompressed got = BoundedUncompress(sources[s], buffer_size, first_trial);
        EXPECT_EQ(got.code, expected.code);
        EXPECT_EQ(got.bytes, expected.bytes);
      }
    }
  }
}

TEST(ZlibWrapperBuffers, HostileSizeAllocatesOnlyWhatTheDataCanFill) {
  const Bytes original = TextLikeBytes(100);
  const Bytes stream = Deflated(original);
  const Uncompressed got = BoundedUncompress(stream, INT32_MAX);
  EXPECT_EQ(got.code, Z_OK);
  EXPECT_EQ(got.bytes, original);
  EXPECT_LE(got.largest_buffer, InflateLimit(stream.size()));

  Bytes garbage(64, 0x78);
  EXPECT_EQ(BoundedUncompress(garbage, 2'000'000'000).code, Z_DATA_ERROR);
  EXPECT_LE(BoundedUncompress(garbage, 2'000'000'000).largest_buffer, 1032u * 64 + 1032);
}

// zlib packs zeros at close to the format's best ratio, so this stream tests that the inflate
// bound really is one: a bound too tight would turn this success into Z_BUF_ERROR.
TEST(ZlibWrapperBuffers, BestRatioStreamFitsUnderTheInflateBound) {
  const Bytes zeros(24u << 20, 0);
  const Bytes stream = Deflated(zeros, 9);
  ASSERT_GT(zeros.size() / stream.size(), 1000u);

  const Uncompressed got = BoundedUncompress(stream, INT32_MAX);
  EXPECT_EQ(got.code, Z_OK);
  EXPECT_EQ(got.bytes.size(), zeros.size());
  EXPECT_EQ(got.bytes, zeros);
  EXPECT_LE(got.largest_buffer, InflateLimit(stream.size()));

  // Too small a size still reports the full buffer it was given.
  const Uncompressed short_buffer = BoundedUncompress(stream, 20'000'000, 1 << 20);
  EXPECT_EQ(short_buffer.code, Z_BUF_ERROR);
  EXPECT_EQ(short_buffer.bytes.size(), 20'000'000u);
}

}  // namespace
}  // namespace lexivane::zlibwrap
