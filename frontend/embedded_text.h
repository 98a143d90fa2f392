// A text file built into the program as it stands: LEXIVANE_EMBED_TEXT(name, "path") puts the
// file's bytes into read-only data (through the assembler's .incbin; the front ends are built for
// ELF systems only) between the hidden symbols name_begin and name_end, and declares them.
// EmbeddedText(name) is the text as a string_view. Use it at namespace scope, once per name.
#pragma once

#include <cstddef>
#include <string_view>

// clang-format off
#define LEXIVANE_EMBED_TEXT(name, path)                                                \
  asm(".pushsection .rodata\n"                                                         \
      ".global " #name "_begin\n.hidden " #name "_begin\n" #name "_begin:\n"           \
      ".incbin \"" path "\"\n"                                                         \
      ".global " #name "_end\n.hidden " #name "_end\n" #name "_end:\n"                 \
      ".popsection\n");                                                                \
  extern "C" const char name##_begin[];                                                \
  extern "C" const char name##_end[]
// clang-format on

#define LEXIVANE_EMBEDDED_TEXT(name) \
  std::string_view(name##_begin, static_cast<std::size_t>(name##_end - name##_begin))
