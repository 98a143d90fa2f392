// LEXIVANE_EMBED(name, "file"): puts the bytes of a file that exists at build time into the
// program's read-only data, 16-byte aligned, between the symbols name_begin and name_end
// (followed by one zero byte that is not part of the data), and declares those symbols. The
// assembler's .incbin does the work, so the file is never turned into source text; ELF and
// PE/COFF toolchains both understand it. Use it at namespace scope, once per name in a program.
// On ELF the symbols are hidden, so that a shared library built with it exports none of them
// (a PE module exports only what its .def file or dllexport names).
//
// LEXIVANE_EMBEDDED_BYTES(name) is the data as a span of bytes, LEXIVANE_EMBEDDED_TEXT(name) as a
// string_view of characters. The data is read-only for the program's life; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#if defined(_WIN32)
// COFF has no section stack; the compiler names the section of everything it emits next.
#define LEXIVANE_EMBED_RODATA ".section .rdata,\"dr\"\n"
#define LEXIVANE_EMBED_PREVIOUS_SECTION ".text\n"
#define LEXIVANE_EMBED_HIDE(symbol) ""
#else
#define LEXIVANE_EMBED_RODATA ".pushsection .rodata\n"
#define LEXIVANE_EMBED_PREVIOUS_SECTION ".popsection\n"
#define LEXIVANE_EMBED_HIDE(symbol) ".hidden " symbol "\n"
#endif

// clang-format off
#define LEXIVANE_EMBED(name, file)                                    \
  asm(LEXIVANE_EMBED_RODATA                                           \
      ".balign 16\n"                                                  \
      ".global " #name "_begin\n" LEXIVANE_EMBED_HIDE(#name "_begin") \
      #name "_begin:\n"                                               \
      ".incbin \"" file "\"\n"                                        \
      ".global " #name "_end\n" LEXIVANE_EMBED_HIDE(#name "_end")     \
      #name "_end:\n"                                                 \
      ".byte 0\n"                                                     \
      LEXIVANE_EMBED_PREVIOUS_SECTION);                               \
  extern "C" const std::uint8_t name##_begin[];                       \
  extern "C" const std::uint8_t name##_end[]
// clang-format on

#define LEXIVANE_EMBEDDED_BYTES(name) std::span<const std::uint8_t>(name##_begin, name##_end)

#define LEXIVANE_EMBEDDED_TEXT(name)                            \
  std::string_view(reinterpret_cast<const char*>(name##_begin), \
                   static_cast<std::size_t>(name##_end - name##_begin))
