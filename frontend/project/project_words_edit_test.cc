#include "frontend/project/project_words_edit.h"

#include <gtest/gtest.h>

#include <string>

#include "frontend/io/command_error.h"

namespace lexivane::frontend {
namespace {

std::string Applied(std::string text, const FileEdit& edit) {
  return text.replace(edit.offset, edit.length, edit.text);
}

TEST(ProjectWordsEdit, AddsTheWordAndKeepsTheRestOfTheFile) {
  const struct {
    const char* before;
    const char* word;
    const char* after;
  } kCases[] = {
      {"", "kubectl", "words = [\"kubectl\"]\n"},
      {"variant = \"en_US\"", "kubectl", "words = [\"kubectl\"]\nvariant = \"en_US\""},
      {"# Our words.\n\nvariant = \"en_US\"\n", "kubectl",
       "# Our words.\n\nwords = [\"kubectl\"]\nvariant = \"en_US\"\n"},
      // Before the first table: the words of an override are not the project's.
      {"# c\n[[overrides]]\npaths = [\"docs/**\"]\nwords = [\"x\"]\n", "kubectl",
       "# c\nwords = [\"kubectl\"]\n[[overrides]]\npaths = [\"docs/**\"]\nwords = [\"x\"]\n"},
      {"words = [\"a\", \"b\"]  # ours\n", "kubectl",
       "words = [\"a\", \"b\", \"kubectl\"]  # ours\n"},
      {"words = []\n", "kubectl", "words = [\"kubectl\"]\n"},
      {"words = [\n  \"a\", # the first\n]\n", "kubectl",
       "words = [\n  \"a\", # the first\n  \"kubectl\",\n]\n"},
      {"words = [\n    \"a\"  # no comma\n]\n", "kubectl",
       "words = [\n    \"a\",  # no comma\n    \"kubectl\"\n]\n"},
      {"words = [\n  \"a\", \"b\"]\n", "kubectl", "words = [\n  \"a\", \"b\", \"kubectl\"]\n"},
      {"words = [\"a\"]\r\n", "say \"hi\"\\", "words = [\"a\", \"say \\\"hi\\\"\\\\\"]\r\n"},
      {"words = [\"caf\xC3\xA9\"]  # é\n", "na\xC3\xAFve",
       "words = [\"caf\xC3\xA9\", \"na\xC3\xAFve\"]  # é\n"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.before);
    EXPECT_EQ(Applied(c.before, AddProjectWord(c.before, c.word, "p.toml")), c.after);
  }
}

TEST(ProjectWordsEdit, AWordThereAlreadyChangesNothing) {
  const FileEdit edit = AddProjectWord("words = [\"a\", \"kubectl\"]\n", "kubectl", "p.toml");
  EXPECT_EQ(edit.length, 0u);
  EXPECT_TRUE(edit.text.empty());
}

TEST(ProjectWordsEdit, ABrokenFileIsAnErrorWithItsPlace) {
  for (const char* text : {"words = [\"a\"\n", "words = 3\n", "words = [1, 2]\n"}) {
    SCOPED_TRACE(text);
    try {
      AddProjectWord(text, "kubectl", "p.toml");
      ADD_FAILURE() << "no error";
    } catch (const CommandError& error) {
      EXPECT_TRUE(std::string(error.what()).starts_with("p.toml:1:")) << error.what();
    }
  }
}

}  // namespace
}  // namespace lexivane::frontend
