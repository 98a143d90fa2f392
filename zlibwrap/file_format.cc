#include "zlibwrap/file_format.h"

#include <algorithm>

#include "lexivane/error.h"
#include "platform/files.h"

namespace lexivane::zlibwrap {

std::string FrameCompressedFile(std::int32_t original_size, std::span<const std::uint8_t> stream) {
  const auto length = static_cast<std::uint32_t>(original_size);
  std::string file;
  file.reserve(kLengthPrefixSize + stream.size());
  for (std::size_t i = 0; i < kLengthPrefixSize; ++i) {
    file += static_cast<char>((length >> (8 * i)) & 0xFF);
  }
  file.append(stream.begin(), stream.end());
  return file;
}

CompressedFile ParseCompressedFile(std::vector<std::uint8_t> content, std::u16string_view path) {
  const std::string where = "cannot decompress '" + lexivane::ToUtf8(path) + "': ";
  if (content.empty()) throw Error(kErrorFileEmpty, where + "the file is empty");
  if (content.size() < kLengthPrefixSize) {
    throw Error(kErrorFileTruncated, where + "the file has " + std::to_string(content.size()) +
                                         " bytes, fewer than its 4-byte length prefix");
  }

  std::uint32_t length = 0;
  for (std::size_t i = 0; i < kLengthPrefixSize; ++i) {
    length |= static_cast<std::uint32_t>(content[i]) << (8 * i);
  }
  // Shifted in place rather than copied: the content may be large.
  std::copy(content.begin() + kLengthPrefixSize, content.end(), content.begin());
  std::fill(content.end() - kLengthPrefixSize, content.end(), 0);
  return {static_cast<std::int32_t>(length), std::move(content)};
}

}  // namespace lexivane::zlibwrap
