#include "lexivane/zlib_wrapper.h"

#include <zlib.h>

#include <limits>
#include <new>
#include <optional>
#include <span>
#include <string>

#include "platform/files.h"
#include "platform/text.h"
#include "zlibwrap/bounded_uncompress.h"
#include "zlibwrap/file_format.h"

namespace lexivane {

namespace {

[[noreturn]] void Refuse(std::string_view action, const std::string& reason,
                         int number = kErrorOutOfRange) {
  throw Error(number, "cannot " + std::string(action) + ": " + reason);
}

std::int32_t SizeOf(std::size_t size, std::string_view action) {
  if (size > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
    Refuse(action, std::to_string(size) + " bytes are more than a 32-bit size can count");
  }
  return static_cast<std::int32_t>(size);
}

std::int32_t CompressBufferSize(std::int32_t n, std::string_view action) {
  const std::optional<std::int32_t> size = zlibwrap::BufferSize(n);
  if (!size) {
    Refuse(action, std::to_string(n) +
                       " bytes need an output buffer of round(1.01 * n + 12) bytes, more than "
                       "2147483647");
  }
  return *size;
}

std::int32_t DecompressBufferSize(std::int32_t orig_size, std::string_view action) {
  const std::optional<std::int32_t> size = zlibwrap::BufferSize(orig_size);
  if (size && *size >= 0) return *size;
  const char* why = orig_size < 0 ? " leaves no output buffer: round(1.01 * size + 12) is below 0"
                                  : " is too large: round(1.01 * size + 12) exceeds 2147483647";
  Refuse(action, "the original size " + std::to_string(orig_size) + why);
}

std::vector<std::uint8_t> BytesOf(std::u16string_view text) {
  const std::string bytes = platform::ToSingleByte(text);
  return {bytes.begin(), bytes.end()};
}

std::u16string TextOf(const std::vector<std::uint8_t>& bytes) {
  return platform::FromSingleByte(
      std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::string Utf8(std::u16string_view path) {
  return lexivane::ToUtf8(path);
}

// The members' work; `action` opens the message of any lexivane::Error they throw, so that the
// file members can name their file.
std::int32_t Compress(std::vector<std::uint8_t>& data, std::int16_t level, std::string_view action,
                      std::int32_t& original_size, std::int32_t& compressed_size) {
  const std::int32_t n = SizeOf(data.size(), action);
  const std::int32_t buffer_size = CompressBufferSize(n, action);

  std::vector<std::uint8_t> buffer;
  try {
    buffer.resize(static_cast<std::size_t>(buffer_size));
  } catch (const std::bad_alloc&) {
    Refuse(action,
           "out of memory for an output buffer of " + std::to_string(buffer_size) + " bytes",
           kErrorOutOfMemory);
  }
  uLongf length = static_cast<uLongf>(buffer_size);
  const int code = ::compress2(buffer.data(), &length, data.data(), static_cast<uLong>(n), level);
  buffer.resize(length);

  data = std::move(buffer);
  original_size = n;
  compressed_size = static_cast<std::int32_t>(length);
  return code;
}

std::int32_t Decompress(std::vector<std::uint8_t>& data, std::int32_t orig_size, std::int32_t start,
                        std::string_view action, std::int32_t& original_size,
                        std::int32_t& compressed_size) {
  if (start < 0 || static_cast<std::size_t>(start) > data.size()) {
    Refuse(action, "the start index " + std::to_string(start) + " lies outside the " +
                       std::to_string(data.size()) + "-byte array");
  }
  const std::int32_t compressed = SizeOf(data.size() - static_cast<std::size_t>(start), action);
  const std::int32_t buffer_size = DecompressBufferSize(orig_size, action);

  zlibwrap::Uncompressed result = zlibwrap::BoundedUncompress(
      std::span<const std::uint8_t>(data).subspan(static_cast<std::size_t>(start)), buffer_size);

  data = std::move(result.bytes);
  original_size = orig_size;
  compressed_size = compressed;
  return result.code;
}

}  // namespace

struct ZlibWrapper::Sizes {
  std::int32_t compressed = 0;
  std::int32_t original = 0;
};

ZlibWrapper::ZlibWrapper() : sizes_(std::make_unique<Sizes>()) {}
ZlibWrapper::~ZlibWrapper() = default;

std::int32_t ZlibWrapper::CompressedSize() const {
  return sizes_->compressed;
}

std::int32_t ZlibWrapper::OriginalSize() const {
  return sizes_->original;
}

std::int32_t ZlibWrapper::CompressByteArray(std::vector<std::uint8_t>& TheData,
                                            std::int16_t CompressionLevel) {
  return Compress(TheData, CompressionLevel, "compress", sizes_->original, sizes_->compressed);
}

std::int32_t ZlibWrapper::CompressString(std::u16string& TheString, std::int16_t CompressionLevel) {
  std::vector<std::uint8_t> data = BytesOf(TheString);
  const std::int32_t code =
      Compress(data, CompressionLevel, "compress", sizes_->original, sizes_->compressed);
  TheString = TextOf(data);
  return code;
}

std::int32_t ZlibWrapper::DecompressByteArray(std::vector<std::uint8_t>& TheData,
                                              std::int32_t OrigSize, std::int32_t lStart) {
  return Decompress(TheData, OrigSize, lStart, "decompress", sizes_->original, sizes_->compressed);
}

std::int32_t ZlibWrapper::DecompressString(std::u16string& TheString, std::int32_t OrigSize) {
  std::vector<std::uint8_t> data = BytesOf(TheString);
  const std::int32_t code =
      Decompress(data, OrigSize, 0, "decompress", sizes_->original, sizes_->compressed);
  TheString = TextOf(data);
  return code;
}

std::int32_t ZlibWrapper::CompressFile(std::u16string_view FilePathIn,
                                       std::u16string_view FilePathOut,
                                       std::int16_t CompressionLevel) {
  const std::string action = "compress '" + Utf8(FilePathIn) + "'";
  std::vector<std::uint8_t> data = platform::ReadFileBytes(FilePathIn);
  if (data.empty()) Refuse(action, "the file is empty", kErrorFileEmpty);

  const std::int32_t code =
      Compress(data, CompressionLevel, action, sizes_->original, sizes_->compressed);
  platform::DeleteFileQuietly(FilePathOut);
  platform::WriteFileBytes(FilePathOut, zlibwrap::FrameCompressedFile(sizes_->original, data));
  return code;
}

std::int32_t ZlibWrapper::DecompressFile(std::u16string_view FilePathIn,
                                         std::u16string_view FilePathOut) {
  const std::string action = "decompress '" + Utf8(FilePathIn) + "'";
  zlibwrap::CompressedFile file =
      zlibwrap::ParseCompressedFile(platform::ReadFileBytes(FilePathIn), FilePathIn);

  const std::int32_t code =
      Decompress(file.stream, file.original_size, 0, action, sizes_->original, sizes_->compressed);
  platform::DeleteFileQuietly(FilePathOut);
  platform::WriteFileBytes(
      FilePathOut,
      std::string_view(reinterpret_cast<const char*>(file.stream.data()), file.stream.size()));
  return code;
}

std::string DescribeZlibCode(std::int32_t code) {
  const char* meaning = nullptr;
  switch (code) {
    case Z_OK:
      meaning = "Z_OK (0): success";
      break;
    case Z_STREAM_ERROR:
      meaning = "Z_STREAM_ERROR (-2): invalid compression level";
      break;
    case Z_DATA_ERROR:
      meaning = "Z_DATA_ERROR (-3): corrupt input data";
      break;
    case Z_MEM_ERROR:
      meaning = "Z_MEM_ERROR (-4): out of memory";
      break;
    case Z_BUF_ERROR:
      meaning = "Z_BUF_ERROR (-5): output buffer too small";
      break;
    case Z_VERSION_ERROR:
      meaning = "Z_VERSION_ERROR (-6): incompatible zlib version";
      break;
    default:
      return "zlib code " + std::to_string(code);
  }
  return meaning;
}

}  // namespace lexivane
