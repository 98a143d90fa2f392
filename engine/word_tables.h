// One thread's main word list tables: `Words`, `Keys`, `StartIdx` and `EndIdx`.
//
// They start empty (every word "", every key and index 0) and are filled by Load(), which the
// engine's Init runs. Filling them means pointing them at the tables prepared when the
// component was built (prepared_tables.h), which are immutable; so a load is cheap, a repeated
// load changes nothing, and threads never see each other's state. Owned by the thread's
// Dictionaries; used only from that thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/prepared_tables.h"

namespace lexivane {

// The tables embedded in the component, validated once per process and shared by every thread
// (the image every loaded WordTables points at; word indexes are the same everywhere). Throws
// lexivane::Error when the image is malformed, and tries again on the next call.
const PreparedTables& SharedMainTables();

class WordTables {
 public:
  // Fills the tables from the list embedded in the component. Throws lexivane::Error when the
  // embedded list or tables are unreadable; the tables then stay as they were.
  void Load();
  // The prepared tables once loaded, else nullptr.
  const PreparedTables* image() const { return image_; }

  std::string_view Word(std::int32_t i) const { return image_ ? image_->Word(i) : ""; }
  PackedKey Key(std::int32_t i) const { return image_ ? image_->Key(i) : 0; }
  std::int32_t StartIdx(std::int32_t slot) const { return image_ ? image_->StartIdx(slot) : 0; }
  std::int32_t EndIdx(std::int32_t slot) const { return image_ ? image_->EndIdx(slot) : 0; }
  // The length of the longest entry; LookUpMain answers false for any longer word.
  std::size_t LongestWord() const { return image_ ? image_->max_word_length() : 0; }

  // True when `word` (lower case, two or more characters) is an entry of its prefix range.
  // `scratch` is reused for the word's single-byte form.
  bool LookUpMain(std::u16string_view word, std::string& scratch) const;
  // The same for a word already in its single-byte form.
  bool LookUpMainBytes(std::string_view bytes) const;

 private:
  const PreparedTables* image_ = nullptr;  // null while the tables are empty
};

}  // namespace lexivane
