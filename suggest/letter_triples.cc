#include "suggest/letter_triples.h"

#include <array>
#include <cstring>
#include <string>

#include "engine/prepared_tables.h"
#include "lexivane/error.h"

namespace lexivane {
namespace {

constexpr int kSymbols = 30;
constexpr std::size_t kRuns = kSymbols * kSymbols * kSymbols;
constexpr std::size_t kBitWords = (kRuns + 63) / 64;
constexpr std::size_t kImageSize = sizeof(LetterTriplesHeader) + sizeof(std::uint64_t) * kBitWords;

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
  std::memcpy(header.magic, kLetterTriplesMagic, sizeof header.magic);
  header.symbols = kSymbols;
  std::vector<std::uint8_t> image(kImageSize);
  std::memcpy(image.data(), &header, sizeof header);
  std::memcpy(image.data() + sizeof header, bits.data(), sizeof(std::uint64_t) * bits.size());
  return image;
}

LetterTriples::LetterTriples(const PreparedTables& tables)
    : owned_(BuildLetterTriplesImage(tables)) {
  Read(owned_);
}

LetterTriples::LetterTriples(std::span<const std::uint8_t> image) {
  Read(image);
}

void LetterTriples::Read(std::span<const std::uint8_t> image) {
  LetterTriplesHeader header{};
  if (image.size() < sizeof header) Malformed("is truncated");
  std::memcpy(&header, image.data(), sizeof header);
  if (std::memcmp(header.magic, kLetterTriplesMagic, sizeof header.magic) != 0 ||
      header.symbols != kSymbols || header.reserved != 0) {
    Malformed("is not in the expected format");
  }
  if (image.size() != kImageSize ||
      reinterpret_cast<std::uintptr_t>(image.data()) % alignof(std::uint64_t) != 0) {
    Malformed("has an unexpected size or alignment");
  }
  bits_ = reinterpret_cast<const std::uint64_t*>(image.data() + sizeof header);
}

bool LetterTriples::MayBeListed(std::string_view word) const {
  return AllTriples(
      word, [&](std::size_t triple) { return ((bits_[triple / 64] >> (triple % 64)) & 1) != 0; });
}

}  // namespace lexivane
