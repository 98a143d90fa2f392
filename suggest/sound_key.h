// SoundKey: an English sound key for a word, so that spellings that sound alike ("fisiks" and
// "physics", "nite" and "knight") share a key or lie one edit apart. It finds the words a poor
// speller meant where the letters alone are too far off. The Soundex key of engine/soundex.h
// keeps only four symbols and codes letters one by one; this key reads letter groups the way
// English spelling does and keeps the whole word.
//
// The key is a string over 17 symbols: "A" (the word starts with a vowel sound), "0" (th), "X"
// (sh, ch), and B F H J K L M N P R S T W Y. It is made in three steps:
//
//  1. Letters only: ASCII letters in either case, and é (Windows-1252 byte or UTF-16 unit
//     0xE9, or É) as e. Apostrophes, hyphens, digits and every other character are dropped.
//  2. Doubled letters count once ("mission" reads "mision"), except cc before e, i or y, which
//     sounds twice (accept, success). The silent first letter of initial kn, gn, pn, ps, pt,
//     mn and wr is dropped, initial x sounds s (xylophone) and initial wh is w.
//  3. Letter groups, left to right:
//       vowels: a e i o u, and y before a consonant or at the end. "A" at the start of the
//               word, nothing elsewhere: "colour" and "color" agree, and final e is silent
//       b: B; silent in a final mb (lamb)
//       c: X in ch, cia, cio; K in chr, chl, ck; silent in sc before e, i, y (science);
//          S before e, i, y; else K
//       d: silent in dg before e, i, y (edge: the g gives J); else T
//       f, v: F
//       g: silent in gh unless a vowel follows or the word starts with it (night, through;
//          ghost is K); silent before a final n, or n plus s, ed, er, ing or ment (sign,
//          designer; not signal); J before e, i, y; else K
//       h: H before a vowel, unless it closes a group (ch, gh, ph, sh, th, wh, rh)
//       j: J    k, q: K    l: L    m: M    n: N    r: R    z: S    x: KS
//       p: F in ph; else P
//       s: X in sh, sia, sio; in sch, SK before a vowel (school, scheme) and X elsewhere
//          (schwa, kitsch); else S
//       t: X in tia, tio; 0 in th; silent in tch; else T
//       w: W before a vowel (wh too); else silent (saw, bowl)
//       y: Y before a vowel; else a vowel
//     Voiced and voiceless pairs that spelling confuses share a symbol (d and t, v and f, z
//     and s; g is K where it is hard), and the u after q is a vowel like any other: writers
//     drop it (eqipment) more often than reading qu as kw would help.
//
// Pure functions of their argument: any thread, never throws on any input (a word without
// letters has the empty key).
#pragma once

#include <string>
#include <string_view>

namespace lexivane {

// The number of distinct key symbols.
inline constexpr int kSoundKeySymbols = 17;

// The key of a word in the engine's single-byte form (Windows-1252, as the word list holds it).
std::string SoundKey(std::string_view word);
// The key of a word as the public API passes it.
std::string SoundKey(std::u16string_view word);

}  // namespace lexivane
