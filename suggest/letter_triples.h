// LetterTriples: which runs of three letters occur in the words of the main list, with the
// word's start and end counting as letters, so that a string holding a run no word holds is
// known to be no word without looking it up. The second ranking tries hundreds of strings one
// edit from a misspelling; most of them hold such a run ("tqe").
//
// A letter is one of a-z, the apostrophe and the hyphen; every other byte counts as one more
// letter, the same for all of them, which can only make a run seem to occur, never hide one.
// 30 x 30 x 30 bits (3.4 KiB). SharedLetterTriples() builds the set of the embedded list once per
// process, on first use (about 2 ms); it is immutable and every thread reads it.
#pragma once

#include <bitset>
#include <string_view>

namespace lexivane {

class PreparedTables;

class LetterTriples {
 public:
  explicit LetterTriples(const PreparedTables& tables);

  // False when `word` holds a run of three that no listed word holds (then it is no listed
  // word); true otherwise.
  bool MayBeListed(std::string_view word) const;

 private:
  // The edge, 28 letters and any other byte, cubed.
  std::bitset<30 * 30 * 30> seen_;
};

const LetterTriples& SharedLetterTriples();

}  // namespace lexivane
