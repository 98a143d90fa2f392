// The word list and its prepared tables, embedded into the component's own file at build
// time with the assembler's .incbin, which both ELF and PE/COFF toolchains understand.
#include <cstdint>

#include "platform/module.h"

#if defined(_WIN32)
// COFF has no section stack; the compiler names the section of everything it emits next.
#define LEXIVANE_RODATA ".section .rdata,\"dr\"\n"
#define LEXIVANE_PREVIOUS_SECTION ".text\n"
#define LEXIVANE_HIDE(name) ""
#else
#define LEXIVANE_RODATA ".pushsection .rodata\n"
#define LEXIVANE_PREVIOUS_SECTION ".popsection\n"
#define LEXIVANE_HIDE(name) ".hidden " name "\n"
#endif

// clang-format off
#define LEXIVANE_EMBED(name, file)                              \
  asm(LEXIVANE_RODATA                                           \
      ".balign 16\n"                                            \
      ".global " name "_begin\n" LEXIVANE_HIDE(name "_begin")   \
      name "_begin:\n"                                          \
      ".incbin \"" file "\"\n"                                  \
      ".global " name "_end\n" LEXIVANE_HIDE(name "_end")       \
      name "_end:\n"                                            \
      ".byte 0\n"                                               \
      LEXIVANE_PREVIOUS_SECTION)
// clang-format on

LEXIVANE_EMBED("lexivane_word_list", LEXIVANE_WORD_LIST_FILE);
LEXIVANE_EMBED("lexivane_prepared_tables", LEXIVANE_PREPARED_TABLES_FILE);

extern "C" {
extern const std::uint8_t lexivane_word_list_begin[];
extern const std::uint8_t lexivane_word_list_end[];
extern const std::uint8_t lexivane_prepared_tables_begin[];
extern const std::uint8_t lexivane_prepared_tables_end[];
}

namespace lexivane::platform {

std::span<const std::uint8_t> EmbeddedWordList() {
  return {lexivane_word_list_begin, lexivane_word_list_end};
}

std::span<const std::uint8_t> EmbeddedPreparedTables() {
  return {lexivane_prepared_tables_begin, lexivane_prepared_tables_end};
}

}  // namespace lexivane::platform
