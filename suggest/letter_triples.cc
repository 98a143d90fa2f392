#include "suggest/letter_triples.h"

#include <array>
#include <mutex>
#include <optional>

#include "engine/prepared_tables.h"
#include "engine/word_tables.h"

namespace lexivane {
namespace {

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
  constexpr int kSymbols = 30;
  int first = 0, second = 0;  // the edge before the word
  for (const char c : word) {
    const int third = kSymbolOf[static_cast<unsigned char>(c)];
    if (!take(static_cast<std::size_t>((first * kSymbols + second) * kSymbols + third))) return false;
    first = second;
    second = third;
  }
  return take(static_cast<std::size_t>((first * kSymbols + second) * kSymbols));  // the edge after
}

}  // namespace

LetterTriples::LetterTriples(const PreparedTables& tables) {
  for (std::int32_t i = 0; i < tables.word_count(); ++i) {
    AllTriples(tables.Word(i), [&](std::size_t triple) { return seen_.set(triple), true; });
  }
}

bool LetterTriples::MayBeListed(std::string_view word) const {
  return AllTriples(word, [&](std::size_t triple) { return seen_.test(triple); });
}

const LetterTriples& SharedLetterTriples() {
  static std::once_flag built;
  static std::optional<LetterTriples> triples;
  std::call_once(built, [] { triples.emplace(SharedMainTables()); });
  return *triples;
}

}  // namespace lexivane
