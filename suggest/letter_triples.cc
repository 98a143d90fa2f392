#include "suggest/letter_triples.h"

#include <algorithm>
#include <array>
#include <string>

#include "engine/prepared_tables.h"
#include "lexivane/error.h"
#include "support/binary_image.h"
#include "support/bloom_filter.h"

namespace lexivane {
namespace {

constexpr int kSymbols = 30;
constexpr std::size_t kPairs = kSymbols * kSymbols;
constexpr std::uint32_t kLetterBits = ((std::uint32_t{1} << kRunLetters.size()) - 1) << 1;
// 2^20 bits for some 106,000 words: two bits each leave one string in thirty that is no word
// in the filter.
constexpr std::size_t kWordFilterWords = (std::size_t{1} << 20) / 64;

constexpr std::array<unsigned char, 256> kSymbolOf = [] {
  std::array<unsigned char, 256> symbols{};
  symbols.fill(29);
  for (std::size_t k = 0; k < kRunLetters.size(); ++k)
    symbols[static_cast<unsigned char>(kRunLetters[k])] = static_cast<unsigned char>(k + 1);
  return symbols;
}();

// Calls take(a, b, c) for each run of three symbols of `word`, the edges included, while it
// answers true; answers whether it always did.
template <typename Take>
bool AllTriples(std::string_view word, Take&& take) {
  std::size_t first = 0, second = 0;  // the edge before the word
  for (const char c : word) {
    const std::size_t third = kSymbolOf[static_cast<unsigned char>(c)];
    if (!take(first, second, third)) return false;
    first = second;
    second = third;
  }
  return take(first, second, std::size_t{0});  // the edge after
}

// 64-bit FNV-1a: words are short, and the filter mixes the hash again.
std::uint64_t WordHash(std::string_view word) {
  std::uint64_t hash = 14695981039346656037u;
  for (const unsigned char byte : word) hash = (hash ^ byte) * 1099511628211u;
  return hash;
}

bool InMask(std::uint32_t mask, std::size_t symbol) {
  return ((mask >> symbol) & 1) != 0;
}

[[noreturn]] void Malformed(const char* why) {
  throw Error(kErrorCorruptWordTables, std::string("the letter triples image ") + why);
}

}  // namespace

std::vector<std::uint8_t> BuildLetterTriplesImage(const PreparedTables& tables) {
  std::vector<std::uint32_t> last(kPairs), middle(kPairs), first(kPairs);
  std::vector<std::uint64_t> words(kWordFilterWords);
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    support::BloomAdd(words, WordHash(tables.Word(i)));
    AllTriples(tables.Word(i), [&](std::size_t a, std::size_t b, std::size_t c) {
      last[a * kSymbols + b] |= std::uint32_t{1} << c;
      middle[a * kSymbols + c] |= std::uint32_t{1} << b;
      first[b * kSymbols + c] |= std::uint32_t{1} << a;
      return true;
    });
  }
  LetterTriplesHeader header{};
  header.symbols = kSymbols;
  support::ImageWriter image(header, kLetterTriplesMagic);
  image.Add(last);
  image.Add(middle);
  image.Add(first);
  image.Add(words);
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
  last_ = reader.Section<std::uint32_t>(kPairs).data();
  middle_ = reader.Section<std::uint32_t>(kPairs).data();
  first_ = reader.Section<std::uint32_t>(kPairs).data();
  words_ = reader.Section<std::uint64_t>(kWordFilterWords);
  if (!reader.Complete()) Malformed("has an unexpected size or alignment");
}

bool LetterTriples::MayBeListed(std::string_view word) const {
  return AllTriples(word, [&](std::size_t a, std::size_t b, std::size_t c) {
    return InMask(last_[a * kSymbols + b], c);
  });
}

bool LetterTriples::PassesWordFilter(std::string_view word) const {
  return support::BloomMayHold(words_, WordHash(word));
}

EditedWordTriples::EditedWordTriples(const LetterTriples& triples, std::string_view word)
    : triples_(triples),
      word_(word),
      first_missing_(static_cast<std::ptrdiff_t>(word.size()) + 1),
      last_missing_(-1) {
  std::ptrdiff_t end = 0;
  AllTriples(word, [&](std::size_t a, std::size_t b, std::size_t c) {
    if (!InMask(triples.last_[a * kSymbols + b], c)) {
      first_missing_ = std::min(first_missing_, end);
      last_missing_ = end;
    }
    ++end;
    return true;
  });
}

std::size_t EditedWordTriples::SymbolAt(std::ptrdiff_t at) const {
  return at < 0 || at >= static_cast<std::ptrdiff_t>(word_.size())
             ? 0
             : kSymbolOf[static_cast<unsigned char>(word_[static_cast<std::size_t>(at)])];
}

bool EditedWordTriples::Kept(std::size_t head, std::size_t tail) const {
  // The runs that end within the head are the word's, and so are those that begin within the
  // tail (the one that ends at the edge after it included).
  return static_cast<std::ptrdiff_t>(head) <= first_missing_ &&
         static_cast<std::ptrdiff_t>(word_.size() + 2 - tail) > last_missing_;
}

bool EditedWordTriples::MayBeListed(std::string_view edited, std::size_t head,
                                    std::size_t tail) const {
  if (!Kept(head, tail)) return false;
  // Only the runs that end from the head on and begin before the tail are new.
  const std::size_t last_new = std::min(edited.size(), edited.size() + 1 - tail);
  for (std::size_t end = head; end <= last_new; ++end) {
    const auto symbol = [&](std::size_t back) -> std::size_t {
      return end < back || end - back >= edited.size()
                 ? 0
                 : kSymbolOf[static_cast<unsigned char>(edited[end - back])];
    };
    if (!InMask(triples_.last_[symbol(2) * kSymbols + symbol(1)], symbol(0))) return false;
  }
  return true;
}

std::uint32_t EditedWordTriples::Replacing(std::size_t at) const {
  const std::size_t length = word_.size();
  if (!Kept(at, length - at - 1)) return 0;
  // The new runs are those whose last, middle and first letter is the new one; the last of
  // them only when a letter or the edge follows the next.
  const auto i = static_cast<std::ptrdiff_t>(at);
  std::uint32_t letters = triples_.last_[SymbolAt(i - 2) * kSymbols + SymbolAt(i - 1)] &
                          triples_.middle_[SymbolAt(i - 1) * kSymbols + SymbolAt(i + 1)];
  if (at + 2 <= length) letters &= triples_.first_[SymbolAt(i + 1) * kSymbols + SymbolAt(i + 2)];
  return letters & kLetterBits;
}

std::uint32_t EditedWordTriples::PuttingIn(std::size_t at) const {
  const std::size_t length = word_.size();
  if (!Kept(at, length - at)) return 0;
  const auto i = static_cast<std::ptrdiff_t>(at);
  std::uint32_t letters = triples_.last_[SymbolAt(i - 2) * kSymbols + SymbolAt(i - 1)] &
                          triples_.middle_[SymbolAt(i - 1) * kSymbols + SymbolAt(i)];
  if (at + 1 <= length) letters &= triples_.first_[SymbolAt(i) * kSymbols + SymbolAt(i + 1)];
  return letters & kLetterBits;
}

}  // namespace lexivane
