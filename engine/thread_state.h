// The state that every engine object of one thread shares: the main word list tables and the
// custom dictionary. It comes into being, empty, on the thread's first use of the component
// and lasts until the thread ends; two threads never share it. Nothing in it is locked, since
// only its own thread ever touches it.
#pragma once

#include "engine/custom_dictionary.h"
#include "engine/word_check.h"
#include "engine/word_tables.h"

namespace lexivane {

struct ThreadState {
  WordTables tables;
  CustomDictionary custom;
  WordCheckScratch scratch;
};

ThreadState& ThisThread();

}  // namespace lexivane
