#include "engine/word_list.h"

#include <string_view>

#include "lexivane/error.h"
#include "platform/text.h"

namespace lexivane {

namespace {

std::string LowerCaseSingleByte(std::string_view line) {
  std::string lowered;
  if (!platform::ToSingleByteExact(platform::ToLower(platform::FromSingleByte(line)), lowered)) {
    throw Error(kErrorInvalidWordList, "word list entry '" + std::string(line) +
                                           "' has no lower-case form in the single-byte code page");
  }
  return lowered;
}

}  // namespace

WordListTables LoadWordList(std::span<const std::uint8_t> list) {
  const std::string_view text(reinterpret_cast<const char*>(list.data()), list.size());
  WordListTables tables;
  std::int32_t next = 0;
  std::int32_t previous_slot = PrefixSlot(0, 0);

  auto store = [&](std::string_view line) {
    std::string word = LowerCaseSingleByte(line);
    if (word.size() < 2) return;  // one-letter lines and empty pieces are not stored
    const std::int32_t slot = PrefixSlot(word[0], word[1]);
    tables.keys.push_back(PackedSoundex(word));
    tables.words.push_back(std::move(word));
    if (slot != previous_slot) {
      tables.start_idx[slot] = next;
      tables.end_idx[previous_slot] = next - 1;
    }
    previous_slot = slot;
    ++next;
  };

  std::size_t begin = 0;
  for (std::size_t crlf; (crlf = text.find("\r\n", begin)) != std::string_view::npos;
       begin = crlf + 2) {
    store(text.substr(begin, crlf - begin));
  }
  store(text.substr(begin));
  tables.end_idx[previous_slot] = next - 1;
  return tables;
}

}  // namespace lexivane
