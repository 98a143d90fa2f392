// ZlibWrapper: compresses and decompresses byte arrays, strings and whole files with the system's
// zlib (compress2 and uncompress), and remembers the two sizes of its last operation.
//
// Every member answers zlib's own code: 0 success, -2 invalid compression level, -3 corrupt
// input data, -4 out of memory, -5 output buffer too small. A zlib failure is reported only
// through that code: the in/out argument is replaced all the same by what zlib left in the
// output buffer, so check the code before using the data. Output buffers are sized from the
// (original) size n as round(1.01 * n + 12); a decompression whose output does not fit gets -5.
// Requests that no buffer can be sized for, and file errors, throw lexivane::Error instead; a
// member that throws before touching a file leaves its arguments and both sizes unchanged.
//
// Strings carry one byte per character through the Windows-1252 code page, with the five bytes
// it leaves undefined mapped to the C1 controls of the same value, so that every byte value
// survives; see docs/zlib.md for the file format and the memory rule for hostile lengths.
//
// An instance owns nothing but its two sizes; instances are independent of each other and of
// the spell checker. Use one instance from one thread at a time. Not copyable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/error.h"
#include "lexivane/export.h"

namespace lexivane {

class LEXIVANE_API ZlibWrapper {
 public:
  ZlibWrapper();
  ~ZlibWrapper();
  ZlibWrapper(const ZlibWrapper&) = delete;
  ZlibWrapper& operator=(const ZlibWrapper&) = delete;

  // Compresses TheData at CompressionLevel (-1 for zlib's default, 0 to 9) and replaces it by
  // the compressed bytes. OriginalSize() becomes the input size, CompressedSize() the output's.
  // An empty array compresses to the 8-byte stream of nothing.
  std::int32_t CompressByteArray(std::vector<std::uint8_t>& TheData, std::int16_t CompressionLevel);

  // As CompressByteArray, for the Windows-1252 form of TheString (a character without one
  // becomes "?"); the compressed bytes come back one per character.
  std::int32_t CompressString(std::u16string& TheString, std::int16_t CompressionLevel);

  // Decompresses the zlib stream that starts at index lStart of TheData (0 to its size) and
  // replaces the whole array by the output, which may be at most round(1.01 * OrigSize + 12)
  // bytes. OriginalSize() becomes OrigSize, CompressedSize() the size of TheData minus lStart.
  // Throws lexivane::Error, leaving TheData as it was, when lStart lies outside the array or
  // when OrigSize gives a buffer size below 0 (OrigSize <= -13) or above 2^31 - 1.
  std::int32_t DecompressByteArray(std::vector<std::uint8_t>& TheData, std::int32_t OrigSize,
                                   std::int32_t lStart);

  // As DecompressByteArray from index 0, for a string that CompressString produced.
  std::int32_t DecompressString(std::u16string& TheString, std::int32_t OrigSize);

  // Writes FilePathOut as the input's length (4 bytes, little-endian) followed by the zlib
  // stream of FilePathIn's content. FilePathOut is deleted first and written even when zlib
  // fails. Throws lexivane::Error when the input cannot be read or is empty, or when the output
  // cannot be written.
  std::int32_t CompressFile(std::u16string_view FilePathIn, std::u16string_view FilePathOut,
                            std::int16_t CompressionLevel);

  // Reads a file that CompressFile wrote and writes the decompressed bytes to FilePathOut,
  // which is deleted first and written even when zlib fails (with what zlib produced).
  // CompressedSize() becomes the length of the whole input file. Throws lexivane::Error when
  // the input cannot be read, is empty or shorter than its 4-byte prefix, when the prefix is a
  // length no buffer can be sized for, or when the output cannot be written.
  std::int32_t DecompressFile(std::u16string_view FilePathIn, std::u16string_view FilePathOut);

  // The sizes of the last operation; both 0 for a new instance.
  std::int32_t CompressedSize() const;
  std::int32_t OriginalSize() const;

 private:
  struct Sizes;  // kept out of this header so that later releases keep the ABI
  std::unique_ptr<Sizes> sizes_;
};

// The name the class has in the component's own vocabulary.
using clsZlibWrapper = ZlibWrapper;

// A zlib code as a person reads it, for example "Z_DATA_ERROR (-3): corrupt input data".
LEXIVANE_API std::string DescribeZlibCode(std::int32_t code);

}  // namespace lexivane
