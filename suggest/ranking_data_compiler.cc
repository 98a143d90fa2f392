// lexivane_ranking_data_compiler PREPARED_TABLES SOUND_INDEX LETTER_TRIPLES
//
// Build-time tool: reads the prepared tables that lexivane_table_compiler wrote and writes the
// images of the typing ranking's data of the same list (sound_index.h, letter_triples.h), which
// the component embeds beside them.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "engine/prepared_tables.h"
#include "lexivane/error.h"
#include "suggest/letter_triples.h"
#include "suggest/sound_index.h"

namespace {

bool WriteImage(const char* path, const std::vector<std::uint8_t>& image) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(image.data()),
            static_cast<std::streamsize>(image.size()));
  if (out.flush()) return true;
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
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "lexivane_ranking_data_compiler: cannot read " << argv[1] << '\n';
    return 1;
  }
  // A vector's storage is aligned for any scalar, as the prepared tables need.
  const std::vector<std::uint8_t> prepared{std::istreambuf_iterator<char>(in), {}};
  try {
    const lexivane::PreparedTables tables(prepared);
    const bool written = WriteImage(argv[2], lexivane::BuildSoundIndexImage(tables)) &&
                         WriteImage(argv[3], lexivane::BuildLetterTriplesImage(tables));
    return written ? 0 : 1;
  } catch (const lexivane::Error& error) {
    std::cerr << "lexivane_ranking_data_compiler: " << argv[1] << ": " << error.what() << '\n';
    return 1;
  }
}
