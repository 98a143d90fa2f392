// libFuzzer target: arbitrary bytes as a compressed file (what DecompressFile reads once the
// file is in memory), and as a compressed byte array and string with an original size and a
// start index taken from the input. Every input must end in a zlib code or a lexivane::Error;
// a success must be the data that compresses back to the same thing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lexivane/zlib_wrapper.h"
#include "platform/text.h"
#include "zlibwrap/bounded_uncompress.h"
#include "zlibwrap/file_format.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void CheckRoundTrip(const Bytes& output) {
  lexivane::ZlibWrapper zlib;
  Bytes again = output;
  if (zlib.CompressByteArray(again, 6) != 0) std::abort();
  const auto size = static_cast<std::int32_t>(output.size());
  if (zlib.DecompressByteArray(again, size, 0) != 0 || again != output) std::abort();
}

void AsCompressedFile(const std::uint8_t* data, std::size_t size) {
  lexivane::ZlibWrapper zlib;
  try {
    lexivane::zlibwrap::CompressedFile file =
        lexivane::zlibwrap::ParseCompressedFile(Bytes(data, data + size), u"fuzz");
    const std::int32_t code = zlib.DecompressByteArray(file.stream, file.original_size, 0);
    // Nothing may come out beyond the buffer the length prefix allows.
    const auto allowed = lexivane::zlibwrap::BufferSize(file.original_size);
    if (!allowed || file.stream.size() > static_cast<std::size_t>(*allowed)) std::abort();
    if (code == 0) CheckRoundTrip(file.stream);
  } catch (const lexivane::Error&) {
  }
}

void AsByteArrayAndString(const std::uint8_t* data, std::size_t size) {
  if (size < 8) return;
  std::int32_t orig_size;
  std::int32_t start;
  std::memcpy(&orig_size, data, 4);
  std::memcpy(&start, data + 4, 4);
  const Bytes rest(data + 8, data + size);
  // Mostly valid starts, so that the stream itself gets explored.
  start = start % 4 == 0 ? start : std::abs(start % 4);

  lexivane::ZlibWrapper zlib;
  try {
    Bytes array = rest;
    zlib.DecompressByteArray(array, orig_size, start);
  } catch (const lexivane::Error&) {
  }
  try {
    std::u16string text = lexivane::platform::FromSingleByte(
        std::string_view(reinterpret_cast<const char*>(rest.data()), rest.size()));
    zlib.DecompressString(text, orig_size);
  } catch (const lexivane::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  AsCompressedFile(data, size);
  AsByteArrayAndString(data, size);
  return 0;
}
