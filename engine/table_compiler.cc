// lexivane_table_compiler WORD_LIST IMAGE
//
// Build-time tool: runs the word-list loader over the list that the component embeds and
// writes the prepared tables (engine/prepared_tables.h) that the component embeds beside it.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

#include "engine/prepared_tables.h"
#include "engine/word_list.h"
#include "lexivane/error.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: lexivane_table_compiler WORD_LIST IMAGE\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "lexivane_table_compiler: cannot read " << argv[1] << '\n';
    return 1;
  }
  const std::vector<std::uint8_t> list{std::istreambuf_iterator<char>(in), {}};
  try {
    const std::vector<std::uint8_t> image =
        lexivane::BuildPreparedImage(lexivane::LoadWordList(list));
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    if (!out.flush()) {
      std::cerr << "lexivane_table_compiler: cannot write " << argv[2] << '\n';
      return 1;
    }
  } catch (const lexivane::Error& error) {
    std::cerr << "lexivane_table_compiler: " << argv[1] << ": " << error.what() << '\n';
    return 1;
  }
  return 0;
}
