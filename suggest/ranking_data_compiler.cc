// lexivane_ranking_data_compiler PREPARED_TABLES SOUND_INDEX LETTER_TRIPLES
//
// Build-time tool: reads the prepared tables that lexivane_table_compiler wrote and writes the
// images of the typing ranking's data of the same list (sound_index.h, letter_triples.h), which
// the component embeds beside them.
#include <cstdint>
#include <iostream>
#include <vector>

#include "engine/prepared_tables.h"
#include "lexivane/error.h"
#include "suggest/letter_triples.h"
#include "suggest/sound_index.h"
#include "support/binary_image.h"

namespace {

bool WriteImage(const char* path, const std::vector<std::uint8_t>& image) {
  if (lexivane::support::WriteImageFile(path, image)) return true;
  std::cerr << "lexivane_ranking_data_compiler: cannot write " << path << '\n';
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: lexivane_ranking_data_compiler PREPARED_TABLES SOUND_INDEX "
                 "LETTER_TRIPLES\n";
    return 2;
  }
  const auto prepared = lexivane::support::ReadWholeFile(argv[1]);
  if (!prepared) {
    std::cerr << "lexivane_ranking_data_compiler: cannot read " << argv[1] << '\n';
    return 1;
  }
  try {
    const lexivane::PreparedTables tables(*prepared);
    const bool written = WriteImage(argv[2], lexivane::BuildSoundIndexImage(tables)) &&
                         WriteImage(argv[3], lexivane::BuildLetterTriplesImage(tables));
    return written ? 0 : 1;
  } catch (const lexivane::Error& error) {
    std::cerr << "lexivane_ranking_data_compiler: " << argv[1] << ": " << error.what() << '\n';
    return 1;
  }
}
