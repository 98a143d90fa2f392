// LEXIVANE_EMBED(name, file): puts the bytes of a file that exists at build time into the
// program's read-only data, between the symbols name_begin and name_end (followed by one zero
// byte that is not part of the data). The assembler's .incbin does the work, so the file is
// never turned into source text; both ELF and PE/COFF toolchains understand it.
#pragma once

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
