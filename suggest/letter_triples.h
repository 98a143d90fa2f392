// LetterTriples: which runs of three letters occur in the words of the main list, with the
// word's start and end counting as letters, so that a string holding a run no word holds is
// known to be no word without looking it up. The typing ranking tries hundreds of strings one
// edit from a misspelling; most of them hold such a run ("tqe").
//
// A letter is one of a-z, the apostrophe and the hyphen; every other byte counts as one more
// letter, the same for all of them, which can only make a run seem to occur, never hide one.
// One bit for each of the 30 x 30 x 30 runs, in one image (support/binary_image.h) that can be
// made at build time and read in place (little-endian): a LetterTriplesHeader (16 bytes), then
// uint64[422] with run t at bit t % 64 of number t / 64; 3,392 bytes in all.
// lexivane_ranking_data_compiler writes the image of the embedded list at build time;
// SharedLetterTriples() reads it in place, checked once per process. Building from
// PreparedTables at run time (about 1 ms) gives the same set. A set is immutable and every
// thread may read it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lexivane {

class PreparedTables;

struct LetterTriplesHeader {
  char magic[8];
  std::uint32_t symbols;   // the runs are of symbols 0 to symbols - 1: the edge, 28 letters, other
  std::uint32_t reserved;  // 0; keeps the bits 8-byte aligned
};

inline constexpr char kLetterTriplesMagic[8] = {'L', 'V', 'T', 'R', 'I', 'P', 'L', '1'};

// The image of the set of every word of `tables`.
std::vector<std::uint8_t> BuildLetterTriplesImage(const PreparedTables& tables);

class LetterTriples {
 public:
  // Collects the runs of every word of `tables`, into an image of its own.
  explicit LetterTriples(const PreparedTables& tables);
  // Reads `image` in place; it must outlive the set and stay unchanged. Throws lexivane::Error
  // (kErrorCorruptWordTables) when its header, size or alignment is not as written above.
  explicit LetterTriples(std::span<const std::uint8_t> image);
  // Moving keeps the bits where they are; a copy would point into the original's.
  LetterTriples(LetterTriples&&) = default;
  LetterTriples& operator=(LetterTriples&&) = default;
  LetterTriples(const LetterTriples&) = delete;
  LetterTriples& operator=(const LetterTriples&) = delete;

  // False when `word` holds a run of three that no listed word holds (then it is no listed
  // word); true otherwise.
  bool MayBeListed(std::string_view word) const;

 private:
  void Read(std::span<const std::uint8_t> image);

  std::vector<std::uint8_t> owned_;  // the image when built here, else empty
  const std::uint64_t* bits_ = nullptr;
};

// The set of the embedded main list, read from the image embedded beside it on the first call
// in the process (std::call_once); every later call, from any thread, returns the same set.
// Throws lexivane::Error when the image is malformed; the next call then tries again. Defined
// in embedded_ranking_data.cc, which the build-time tool that writes the image leaves out.
const LetterTriples& SharedLetterTriples();

}  // namespace lexivane
