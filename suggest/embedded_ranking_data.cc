#include "suggest/embedded_ranking_data.h"

#include <mutex>
#include <optional>
#include <utility>

#include "engine/word_tables.h"
#include "lexivane/error.h"
#include "suggest/letter_triples.h"
#include "suggest/sound_index.h"
#include "support/embed.h"

LEXIVANE_EMBED(lexivane_sound_index, LEXIVANE_SOUND_INDEX_FILE);
LEXIVANE_EMBED(lexivane_letter_triples, LEXIVANE_LETTER_TRIPLES_FILE);

namespace lexivane {

std::span<const std::uint8_t> EmbeddedSoundIndexImage() {
  return LEXIVANE_EMBEDDED_BYTES(lexivane_sound_index);
}

std::span<const std::uint8_t> EmbeddedLetterTriplesImage() {
  return LEXIVANE_EMBEDDED_BYTES(lexivane_letter_triples);
}

const SoundIndex& SharedSoundIndex() {
  static std::once_flag read;
  static std::optional<SoundIndex> index;
  std::call_once(read, [] {
    SoundIndex embedded(EmbeddedSoundIndexImage());
    // Its word indexes must be those of the list it is used with.
    if (embedded.word_count() != SharedMainTables().word_count()) {
      throw Error(kErrorCorruptWordTables,
                  "the sound index image indexes another number of words than the word tables");
    }
    index.emplace(std::move(embedded));
  });
  return *index;
}

const LetterTriples& SharedLetterTriples() {
  static std::once_flag read;
  static std::optional<LetterTriples> triples;
  std::call_once(read, [] { triples.emplace(EmbeddedLetterTriplesImage()); });
  return *triples;
}

}  // namespace lexivane
