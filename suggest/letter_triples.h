// LetterTriples: which runs of three letters occur in the words of the main list, with the
// word's start and end counting as letters, so that a string holding a run no word holds is
// known to be no word without looking it up; and a filter of the words themselves, for the
// strings whose every run occurs. The typing ranking tries hundreds of strings one edit from a
// misspelling; most of them hold such a run ("tqe"), and the filter turns away all but one in
// thirty of the rest that are no word, in less time than a look-up in the word tables takes.
//
// A letter is one of kRunLetters (a-z, the apostrophe and the hyphen, symbols 1 to 28; the edge
// is symbol 0); every other byte counts as one more letter, symbol 29, the same for all of them,
// which can only make a run seem to occur, never hide one. The set is kept three times over, so
// that the letters that may stand in any one place of a run come in one number: for each pair
// of symbols, a 30-bit mask of the symbols that complete a run as its last, its middle and its
// first. The words' filter is a Bloom filter (support/bloom_filter.h) of 2^20 bits, of a 64-bit
// FNV-1a hash of each word's bytes. One image (support/binary_image.h) that can be made at build
// time and read in place (little-endian): a LetterTriplesHeader (16 bytes), then uint32[900]
// thrice, at a * 30 + b the masks of the runs (a, b, x), (a, x, b) and (x, a, b), bit x for
// symbol x, then the filter, uint64[16384]; 141,888 bytes in all.
// lexivane_ranking_data_compiler writes the image of the embedded list at build time;
// SharedLetterTriples() reads it in place, checked once per process. Building from
// PreparedTables at run time (about 2 ms) gives the same set. A set is immutable and every
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
  std::uint32_t reserved;  // 0; keeps the sections that follow aligned
};

inline constexpr char kLetterTriplesMagic[8] = {'L', 'V', 'T', 'R', 'I', 'P', 'L', '2'};

// The letters of the runs, in the order of their symbols (1 to 28).
inline constexpr std::string_view kRunLetters = "abcdefghijklmnopqrstuvwxyz'-";

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
  // False when the words' filter says that no listed word is `word`; true for every listed
  // word and about one string in thirty that is none.
  bool PassesWordFilter(std::string_view word) const;

 private:
  friend class EditedWordTriples;
  // The masks of one place of the runs, by the pair of symbols in the other two.
  using Masks = const std::uint32_t*;
  void Read(std::span<const std::uint8_t> image);

  std::vector<std::uint8_t> owned_;  // the image when built here, else empty
  Masks last_ = nullptr, middle_ = nullptr, first_ = nullptr;
  std::span<const std::uint64_t> words_;  // the words' filter
};

// LetterTriples::MayBeListed for the strings made from one word by an edit in one place (the
// typing ranking tries hundreds): the word's own runs are tested once, so that each string is
// tested by the runs around its edit alone, and the letters that may replace one of the word's
// or be put in come all at once. Refers to the set and the word; one thread at a time.
class EditedWordTriples {
 public:
  EditedWordTriples(const LetterTriples& triples, std::string_view word);

  // MayBeListed(edited), for a string that begins with the word's first `head` letters and
  // ends with its last `tail` (head + tail at most the length of each).
  bool MayBeListed(std::string_view edited, std::size_t head, std::size_t tail) const;
  // The letters of kRunLetters, bit 1 + k for its letter k, that may replace the word's letter
  // at `at` (its own among them when it is one), or be put in before it (`at` up to the
  // length, for after the last) and leave a string that MayBeListed.
  std::uint32_t Replacing(std::size_t at) const;
  std::uint32_t PuttingIn(std::size_t at) const;

 private:
  // The symbol of the word's letter at `at`, the edge outside it.
  std::size_t SymbolAt(std::ptrdiff_t at) const;
  // True when the runs that end before `head` and those that begin at the last `tail` letters
  // or later are all in the set.
  bool Kept(std::size_t head, std::size_t tail) const;

  const LetterTriples& triples_;
  std::string_view word_;
  // The word's first and last runs that the set lacks, counted by the place of their last
  // letter (0 for the run that ends at the first letter, the length for the one that ends at
  // the edge after the word): length + 1 and -1 when it lacks none.
  std::ptrdiff_t first_missing_, last_missing_;
};

// The set of the embedded main list, read from the image embedded beside it on the first call
// in the process (std::call_once); every later call, from any thread, returns the same set.
// Throws lexivane::Error when the image is malformed; the next call then tries again. Defined
// in embedded_ranking_data.cc, which the build-time tool that writes the image leaves out.
const LetterTriples& SharedLetterTriples();

}  // namespace lexivane
