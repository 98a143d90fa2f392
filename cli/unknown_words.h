// The words of a text that a text check run without the dialog reports as not in the
// dictionaries, with their offsets in the whole text.
//
// A run counts positions and lengths in 32 bits, so a longer text is checked in pieces of at
// most kMaxPiece UTF-16 code units. A piece ends right after a line break, or, where the
// stretch it covers has none, right after another word delimiter. The run starts a token right
// after every delimiter it passes (a delimiter either ends a token or is an empty token of its
// own), so the pieces together give exactly the tokens of the whole text. A text with a stretch
// of more than kMaxPiece code units without any delimiter cannot be cut and is not checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string_view>

#include "lexivane/spell_check.h"

namespace lexivane::cli {

inline constexpr std::size_t kMaxPiece = std::numeric_limits<std::int32_t>::max();

// The 23 characters at which the word scanner cuts tokens.
inline constexpr std::u16string_view kWordDelimiters = u"\t\r\n\" /?.;:,\\()[]{}<>|!-";

// Calls found(word, offset) for every word of `text` that the run reports, in order; the offset
// is 0-based, in UTF-16 code units of the whole text. Returns false, having checked nothing,
// when the text cannot be cut into pieces of at most `max_piece` code units. An exception
// thrown by `found` ends the check and reaches the caller.
bool ForEachUnknownWord(SpellCheck& engine, std::u16string_view text,
                        const std::function<void(std::u16string_view, std::size_t)>& found,
                        std::size_t max_piece = kMaxPiece);

}  // namespace lexivane::cli
