#include "suggest/letter_triples.h"

#include <array>
#include <string>

#include "engine/prepared_tables.h"
#include "lexivane/error.h"
#include "support/binary_image.h"

namespace lexivane {
namespace {

constexpr int kSymbols = 30;
constexpr std::size_t kRuns = kSymbols * kSymbols * kSymbols;
constexpr std::size_t kBitWords = (kRuns + 63) / 64;

constexpr std::array<unsigned char, 256> kSymbolOf = [] {
  std::array<unsigned char, 256> symbols{};
  symbols.fill(29);
  for (int c = 'a'; c <= 'z'; ++c) symbols[c] = static_cast<unsigned char>(c - 'a' + 1);
  symbols['\''] = 27;
  symbols['-'] = 28;
  return symbols;
}();

// Calls take(triple) for each run of three symbols of `word`, the edges included, while it
// answers true; answers whether it always did.
template <typename Take>
bool AllTriples(std::string_view word, Take&& take) {
  int first = 0, second = 0;  // the edge before the word
  for (const char c : word) {
    const int third = kSymbolOf[static_cast<unsigned char>(c)];
    if (!take(static_cast<std::size_t>((first * kSymbols + second) * kSymbols + third)))
      return false;
    first = second;
    second = third;
  }
  return take(static_cast<std::size_t>((first * kSymbols + second) * kSymbols));  // the edge after
}

[[noreturn]] void Malformed(const char* why) {
  throw Error(kErrorCorruptWordTables, std::string("the letter triples image ") + why);
}

}  // namespace

std::vector<std::uint8_t> BuildLetterTriplesImage(const PreparedTables& tables) {
  std::vector<std::uint64_t> bits(kBitWords, 0);
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    AllTriples(tables.Word(i), [&](std::size_t triple) {
      bits[triple / 64] |= std::uint64_t{1} << (triple % 64);
      return true;
    });
  }
  LetterTriplesHeader header{};
  header.symbols = kSymbols;
  support::ImageWriter image(header, kLetterTriplesMagic);
  image.Add(bits);
  return std::move(image).Finish();
}

LetterTriples::LetterTriples(const PreparedTables& tables)
    : owned_(BuildLetterTriplesImage(tables)) {
  Read(owned_);
}

LetterTriples::LetterTriples(std::span<const std::uint8_t> image) {
  Read(image);
}

void LetterTriples::Read(std::span<const std::uint8_t> image) {
  support::ImageReader<LetterTriplesHeader> reader(image, kLetterTriplesMagic);
  if (reader.truncated()) Malformed("is truncated");
  const LetterTriplesHeader& header = reader.header();
  if (reader.foreign() || header.symbols != kSymbols || header.reserved != 0) {
    Malformed("is not in the expected format");
  }
  bits_ = reader.Section<std::uint64_t>(kBitWords).data();
  if (!reader.Complete()) Malformed("has an unexpected size or alignment");
}

bool LetterTriples::MayBeListed(std::string_view word) const {
  return AllTriples(
      word, [&](std::size_t triple) { return ((bits_[triple / 64] >> (triple % 64)) & 1) != 0; });
}

}  // namespace lexivane
