// One thread's dictionaries: the main word list tables, the custom dictionary, and the buffers
// the word check reuses. Every engine object of a thread, the suggestions dialog's own one
// included, works on the same Dictionaries; the thread's state (api/thread_state.h) owns it.
// Nothing in it is locked, since only its own thread ever touches it.
#pragma once

#include "engine/custom_dictionary.h"
#include "engine/word_check.h"
#include "engine/word_tables.h"

namespace lexivane {

struct Dictionaries {
  WordTables tables;
  CustomDictionary custom;
  WordCheckScratch scratch;
};

}  // namespace lexivane
