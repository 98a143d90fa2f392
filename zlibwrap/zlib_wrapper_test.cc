#include "lexivane/zlib_wrapper.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/text.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::ErrorFrom;
using ::testing::HasSubstr;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::TextLikeBytes;

// zlib's own answer, independent of the wrapper's buffers.
Bytes Inflated(const Bytes& stream, std::size_t expected_size) {
  Bytes out(expected_size + 1);
  uLongf length = out.size();
  EXPECT_EQ(uncompress(out.data(), &length, stream.data(), stream.size()), Z_OK);
  out.resize(length);
  return out;
}

std::string AsString(const Bytes& bytes) {
  return {bytes.begin(), bytes.end()};
}

// The wrapper's stream for `data` at level 6.
Bytes Compressed(Bytes data) {
  ZlibWrapper().CompressByteArray(data, 6);
  return data;
}

Bytes Prefixed(std::uint32_t length, const Bytes& stream) {
  Bytes file(4 + stream.size());
  for (std::size_t i = 0; i < 4; ++i) file[i] = static_cast<std::uint8_t>(length >> (8 * i));
  std::copy(stream.begin(), stream.end(), file.begin() + 4);
  return file;
}

// Compression leaves exactly the compressed length, and for no data zlib's header, one empty
// block and the Adler-32.
TEST(ZlibWrapperByteArray, CompressionLeavesTheStreamAndBothSizes) {
  ZlibWrapper zlib;
  EXPECT_EQ(zlib.OriginalSize(), 0);
  EXPECT_EQ(zlib.CompressedSize(), 0);
  Bytes data = TextLikeBytes(1000);
  ASSERT_EQ(zlib.CompressByteArray(data, 6), 0);
  EXPECT_EQ(zlib.OriginalSize(), 1000);
  EXPECT_EQ(zlib.CompressedSize(), static_cast<std::int32_t>(data.size()));
  EXPECT_EQ(Inflated(data, 1000), TextLikeBytes(1000));
  data.clear();
  EXPECT_EQ(zlib.CompressByteArray(data, 6), 0);
  EXPECT_EQ(data.size(), 8u);
}

// Decompression replaces the array with what zlib produced, failures too; OriginalSize is the
// size asked for, CompressedSize what follows the start (4 skips a file's length prefix). The
// buffer for 100 bytes has 113; down to -12 there is one (-1 gives 11 bytes, -12 none at all),
// and the largest size that has one decompresses without allocating it.
TEST(ZlibWrapperByteArray, DecompressionLeavesWhatZlibProduced) {
  const Bytes text = TextLikeBytes(1000), hello = {'h', 'e', 'l', 'l', 'o'};
  const Bytes stream = Compressed(text), hello_stream = Compressed(hello);
  const auto size = [](const Bytes& bytes) { return static_cast<std::int32_t>(bytes.size()); };
  const struct {
    Bytes input;
    std::int32_t orig_size, start;
    int code;
    Bytes output;
    std::int32_t compressed_size;
  } cases[] = {
      {stream, 1000, 0, Z_OK, text, size(stream)},
      {Prefixed(1000, stream), 1000, 4, Z_OK, text, size(stream)},
      {Compressed({}), 0, 0, Z_OK, {}, 8},
      {stream, 100, 0, Z_BUF_ERROR, Bytes(text.begin(), text.begin() + 113), size(stream)},
      {stream, 1000, size(stream), Z_DATA_ERROR, {}, 0},  // the start at the end: no input
      {hello_stream, -1, 0, Z_OK, hello, size(hello_stream)},
      {hello_stream, 2126221421, 0, Z_OK, hello, size(hello_stream)},
      {hello_stream, -12, 0, Z_DATA_ERROR, {}, size(hello_stream)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("OrigSize " + std::to_string(c.orig_size) + ", start " + std::to_string(c.start));
    ZlibWrapper zlib;
    Bytes data = c.input;
    EXPECT_EQ(zlib.DecompressByteArray(data, c.orig_size, c.start), c.code);
    EXPECT_EQ(data, c.output);
    EXPECT_EQ(zlib.OriginalSize(), c.orig_size);
    EXPECT_EQ(zlib.CompressedSize(), c.compressed_size);
  }
}

// Refusals change neither the array nor the sizes.
TEST(ZlibWrapperByteArray, OriginalSizesThatNoBufferFitsAreRefused) {
  const Bytes stream = Compressed({'h', 'e', 'l', 'l', 'o'});
  const struct {
    std::int32_t orig_size, start;
    const char* message;
  } refusals[] = {
      {-13, 0, "the original size -13 leaves no output buffer"},
      {INT32_MIN, 0, "leaves no output buffer"},
      {INT32_MAX, 0, "the original size 2147483647 is too large"},
      {100, -1, "the start index -1 lies outside"},
      {100, static_cast<std::int32_t>(stream.size()) + 1, "lies outside"},
  };
  ZlibWrapper zlib;
  Bytes data = stream;
  for (const auto& r : refusals) {
    EXPECT_THAT(ErrorFrom([&] { zlib.DecompressByteArray(data, r.orig_size, r.start); }).what(),
                HasSubstr(r.message));
  }
  EXPECT_EQ(data, stream);
  EXPECT_EQ(zlib.OriginalSize(), 0);
  EXPECT_EQ(zlib.CompressedSize(), 0);
}

// The compressed string holds zlib's bytes one per character; every byte value survives.
TEST(ZlibWrapperString, EveryByteValueSurvivesTheRoundTrip) {
  Bytes all;
  for (int n = 0; n < 3 * 256; ++n) all.push_back(static_cast<std::uint8_t>(n));
  const std::u16string original = platform::FromSingleByte(AsString(all));

  for (std::int16_t level : {0, 9}) {  // stored bytes, and a compressed stream
    ZlibWrapper zlib;
    std::u16string text = original;
    ASSERT_EQ(zlib.CompressString(text, level), 0);
    EXPECT_EQ(zlib.OriginalSize(), 768);
    EXPECT_EQ(zlib.CompressedSize(), static_cast<std::int32_t>(text.size()));
    Bytes bytes = all;
    ASSERT_EQ(zlib.CompressByteArray(bytes, level), 0);
    EXPECT_EQ(text, platform::FromSingleByte(AsString(bytes)));

    ZlibWrapper fresh;  // sized from OrigSize, not from a previous OriginalSize
    EXPECT_EQ(fresh.DecompressString(text, 768), 0);
    EXPECT_EQ(text, original);
    EXPECT_EQ(fresh.OriginalSize(), 768);
  }
}

TEST(ZlibWrapperString, FailuresAndCharactersOutsideTheCodePage) {
  ZlibWrapper zlib;
  std::u16string text = u"caf\u00e9 \u03a9 \u20ac";  // é and € have a byte; Ω has none
  ASSERT_EQ(zlib.CompressString(text, 6), 0);
  ASSERT_EQ(zlib.DecompressString(text, 8), 0);
  EXPECT_EQ(text, u"caf\u00e9 ? \u20ac");

  // zlib refuses levels outside -1 to 9 (each level reaches it whole) and reports no output,
  // which is exactly what the string then holds.
  for (std::int16_t level : {10, -2, 32767, -32768}) {
    text = u"some text";
    EXPECT_EQ(zlib.CompressString(text, level), Z_STREAM_ERROR) << "level " << level;
    EXPECT_EQ(text, u"");
    EXPECT_EQ(zlib.OriginalSize(), 9);
    EXPECT_EQ(zlib.CompressedSize(), 0);
  }

  text = u"not a zlib stream";
  EXPECT_EQ(zlib.DecompressString(text, 100), Z_DATA_ERROR);
  EXPECT_EQ(zlib.CompressedSize(), 17);
  EXPECT_EQ(zlib.OriginalSize(), 100);
}

class ZlibWrapperFile : public ::testing::Test {
 protected:
  std::u16string In() const { return dir_.File("in"); }
  std::u16string Out() const { return dir_.File("out"); }
  std::filesystem::path InPath() const { return dir_.path() / "in"; }
  std::filesystem::path OutPath() const { return dir_.path() / "out"; }
  void WriteIn(const Bytes& bytes) const { testing::WriteBytes(InPath(), AsString(bytes)); }

  ScratchDir dir_;
  ZlibWrapper zlib_;
};

TEST_F(ZlibWrapperFile, CompressedFileIsTheLengthPrefixThenTheStream) {
  WriteIn(TextLikeBytes(1000));
  testing::WriteBytes(OutPath(), std::string(5000, 'x'));  // replaced, not overwritten in part

  EXPECT_EQ(zlib_.CompressFile(In(), Out(), 9), 0);
  const Bytes file = ReadBytes(OutPath());
  ASSERT_EQ(file.size(), static_cast<std::size_t>(zlib_.CompressedSize()) + 4);
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 4), (Bytes{0xE8, 0x03, 0x00, 0x00}));
  EXPECT_EQ(Inflated(Bytes(file.begin() + 4, file.end()), 1000), TextLikeBytes(1000));
  EXPECT_EQ(zlib_.OriginalSize(), 1000);

  ZlibWrapper reader;
  std::filesystem::rename(OutPath(), InPath());
  EXPECT_EQ(reader.DecompressFile(In(), Out()), 0);
  EXPECT_EQ(ReadBytes(OutPath()), TextLikeBytes(1000));
  EXPECT_EQ(reader.OriginalSize(), 1000);
  EXPECT_EQ(reader.CompressedSize(), static_cast<std::int32_t>(file.size()));

  // A bad level still writes the prefix, with nothing after it.
  WriteIn(TextLikeBytes(300));
  EXPECT_EQ(zlib_.CompressFile(In(), Out(), 10), Z_STREAM_ERROR);
  EXPECT_EQ(ReadBytes(OutPath()), (Bytes{0x2C, 0x01, 0x00, 0x00}));
}

TEST_F(ZlibWrapperFile, UnreadableOrEmptyInputLeavesTheOutputAlone) {
  testing::WriteBytes(OutPath(), "keep me");
  const Error missing = ErrorFrom([&] { zlib_.CompressFile(In(), Out(), 6); });
  EXPECT_EQ(missing.number(), ENOENT);
  EXPECT_THAT(missing.what(), HasSubstr("in"));
  EXPECT_EQ(ErrorFrom([&] { zlib_.DecompressFile(In(), Out()); }).number(), ENOENT);

  WriteIn({});
  EXPECT_THAT(ErrorFrom([&] { zlib_.CompressFile(In(), Out(), 6); }).what(),
              HasSubstr("the file is empty"));
  EXPECT_THAT(ErrorFrom([&] { zlib_.DecompressFile(In(), Out()); }).what(),
              HasSubstr("the file is empty"));
  WriteIn({0xE8, 0x03, 0x00});
  EXPECT_THAT(ErrorFrom([&] { zlib_.DecompressFile(In(), Out()); }).what(),
              HasSubstr("fewer than its 4-byte length prefix"));
  EXPECT_EQ(AsString(ReadBytes(OutPath())), "keep me");
  EXPECT_EQ(zlib_.OriginalSize(), 0);
}

TEST_F(ZlibWrapperFile, HostileLengthPrefixes) {
  const Bytes stream = Compressed(TextLikeBytes(1000));

  // Lengths no buffer can be sized for: 2 GiB reads as a negative number.
  testing::WriteBytes(OutPath(), "keep me");
  for (std::uint32_t length : {0x80000000u, 0xFFFFFFF3u, 0x7FFFFFFFu}) {
    WriteIn(Prefixed(length, stream));
    const Error error = ErrorFrom([&] { zlib_.DecompressFile(In(), Out()); });
    EXPECT_THAT(error.what(), HasSubstr("cannot decompress '"));
    EXPECT_THAT(error.what(), HasSubstr("the original size"));
  }
  EXPECT_EQ(AsString(ReadBytes(OutPath())), "keep me");

  // A length of 0 leaves room for 12 bytes: the output is cut there and zlib says so.
  WriteIn(Prefixed(0, stream));
  EXPECT_EQ(zlib_.DecompressFile(In(), Out()), Z_BUF_ERROR);
  EXPECT_EQ(ReadBytes(OutPath()), TextLikeBytes(12));  // the first 12 bytes of the 1,000
  EXPECT_EQ(zlib_.OriginalSize(), 0);

  // Only the prefix: uncompress sees the four zero bytes that stand in for it, and the
  // compressed size counts them.
  WriteIn(Prefixed(1000, {}));
  EXPECT_EQ(zlib_.DecompressFile(In(), Out()), Z_DATA_ERROR);
  EXPECT_TRUE(ReadBytes(OutPath()).empty());
  EXPECT_EQ(zlib_.CompressedSize(), 4);
}

}  // namespace
}  // namespace lexivane
