// lexivane_table_compiler WORD_LIST IMAGE
//
// Build-time tool: runs the word-list loader over the list that the component embeds and
// writes the prepared tables (engine/prepared_tables.h) that the component embeds beside it.
#include <iostream>
#include <vector>

#include "engine/prepared_tables.h"
#include "engine/word_list.h"
#include "lexivane/error.h"
#include "support/binary_image.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: lexivane_table_compiler WORD_LIST IMAGE\n";
    return 2;
  }
  const auto list = lexivane::support::ReadWholeFile(argv[1]);
  if (!list) {
    std::cerr << "lexivane_table_compiler: cannot read " << argv[1] << '\n';
    return 1;
  }
  try {
    if (!lexivane::support::WriteImageFile(
            argv[2], lexivane::BuildPreparedImage(lexivane::LoadWordList(*list)))) {
      std::cerr << "lexivane_table_compiler: cannot write " << argv[2] << '\n';
      return 1;
    }
  } catch (const lexivane::Error& error) {
    std::cerr << "lexivane_table_compiler: " << argv[1] << ": " << error.what() << '\n';
    return 1;
  }
  return 0;
}
