#include "frontend/modes/markup_names.h"

#include <gtest/gtest.h>

namespace lexivane::frontend {
namespace {

// A TeX document's control words, the environments it begins and the packages and classes it
// loads are its markup's names; words of its text, arguments of other commands, control
// symbols and other modes' texts are not.
TEST(MarkupNamesTest, TexDocumentsNameTheirCommandsEnvironmentsAndPackages) {
  const std::u16string tex =
      u"\\documentclass[11pt]{amsart}\\usepackage [mono]{amsmath, amssymb}\n"
      u"\\RequirePackage{chktexrc}\\begin{pmatrix} a \\end{pmatrix} $x+\\dotsb$ \\cn{dotsc} "
      u"\\% \\\\ \\@startsection \\begin{broken";
  MarkupNames names;
  AddMarkupNames(DocumentMode::kTex, tex, names);
  for (const char* name : {"amsart", "amsmath", "amssymb", "chktexrc", "pmatrix", "dotsb", "cn",
                           "begin", "startsection"}) {
    EXPECT_TRUE(IsMarkupName(names, name)) << name;
  }
  for (const char* word : {"mono", "dotsc", "a", "x", "broken", "pt"}) {
    EXPECT_FALSE(IsMarkupName(names, word)) << word;
  }
  // Capitalised at the start of a sentence, not otherwise changed in case.
  EXPECT_TRUE(IsMarkupName(names, "Pmatrix"));
  EXPECT_FALSE(IsMarkupName(names, "PMATRIX"));
  EXPECT_FALSE(IsMarkupName(names, "PMatrix"));

  MarkupNames none;
  AddMarkupNames(DocumentMode::kMarkdown, tex, none);
  EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace lexivane::frontend
