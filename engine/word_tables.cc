#include "engine/word_tables.h"

#include "platform/module.h"
#include "platform/text.h"

namespace lexivane {

// The embedded image is validated once per process; every thread's tables then share it.
const PreparedTables& SharedMainTables() {
  static const PreparedTables tables(platform::EmbeddedPreparedTables());
  return tables;
}

void WordTables::Load() {
  // The tables were prepared from the embedded list at build time, but the list itself must
  // still be there: a component whose list cannot be read fails its load (on Windows with the
  // error of the resource lookup), as one that read the list on every load would.
  platform::EmbeddedWordList();
  image_ = &SharedMainTables();
}

bool WordTables::LookUpMain(std::u16string_view word, std::string& bytes) const {
  // Before a load every entry is "", and the word has two or more characters.
  if (image_ == nullptr || word.size() > image_->max_word_length()) return false;
  // A word with a character outside the code page equals no entry: every entry is the
  // decoding of single-byte text.
  if (!platform::ToSingleByteExact(word, bytes)) return false;
  return LookUpMainBytes(bytes);
}

bool WordTables::LookUpMainBytes(std::string_view bytes) const {
  if (image_ == nullptr || bytes.size() < 2 || bytes.size() > image_->max_word_length()) {
    return false;
  }
  // Every entry sits in its own prefix range (BuildPreparedImage refuses a list where one does
  // not), so an entry found is one of the word's range, and the range need not be read.
  return image_->Find(bytes) >= 0;
}

}  // namespace lexivane
