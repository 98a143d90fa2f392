#include "cli/check_output.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "cli/github_reporter.h"
#include "cli/sarif_reporter.h"
#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"
#include "lexivane/version.h"

namespace lexivane::cli {
namespace {

using frontend::Document;
using frontend::DocumentChecker;
using frontend::SpellingSession;
using ::testing::HasSubstr;

// What a format writes for texts checked one after the other, with `suggestions` suggestions.
class CheckOutputTest : public ::testing::Test {
 protected:
  CheckOutputTest() { engine_.Init(); }

  std::string Reported(CheckFormat format, const std::vector<std::string>& texts,
                       std::size_t suggestions = 2, std::string_view name = "a.txt") {
    SpellingSession session(engine_, suggestions);
    DocumentChecker checker(session);
    std::ostringstream out;
    ShownLists shown(session);
    const std::unique_ptr<CheckOutput> output =
        MakeCheckOutput(format, suggestions > 0, shown, out);
    for (const std::string& text : texts) {
      const std::u16string decoded = FromUtf8(text);
      output->Begin(decoded);
      checker.Check(Document{name}, decoded, *output);
    }
    output->Finish();
    return out.str();
  }

  nlohmann::json SarifResults(const std::vector<std::string>& texts, std::size_t suggestions = 2) {
    return nlohmann::json::parse(
        Reported(CheckFormat::kSarif, texts, suggestions))["runs"][0]["results"];
  }

  SpellCheck engine_;
};

TEST(GithubCommands, EscapeWhatWouldEndTheValueOrTheLine) {
  struct Case {
    std::string_view text, data, property;
  } cases[] = {
      {"plain words, café", "plain words, café", "plain words%2C café"},
      {"50%", "50%25", "50%25"},
      {"%0A stays text", "%250A stays text", "%250A stays text"},
      {"one\r\ntwo\rthree\n", "one%0D%0Atwo%0Dthree%0A", "one%0D%0Atwo%0Dthree%0A"},
      {"a:b,c::d", "a:b,c::d", "a%3Ab%2Cc%3A%3Ad"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeCommandData(c.text), c.data) << c.text;
    EXPECT_EQ(EscapeCommandProperty(c.text), c.property) << c.text;
  }
}

TEST(SarifLog, FileNamesBecomeUriReferences) {
  struct Case {
    std::string_view path, uri;
  } cases[] = {
      {"docs/guide.md", "docs/guide.md"},
      {"./a-b_c~d.txt", "./a-b_c~d.txt"},
      {"my notes/50%.txt", "my%20notes/50%25.txt"},
      {"c:d#e?f", "c%3Ad%23e%3Ff"},  // not a scheme, a fragment or a query
      {"naïve.md", "na%C3%AFve.md"},
      {"<stdin>", "%3Cstdin%3E"},
      {"/srv/a b.txt", "file:///srv/a%20b.txt"},
  };
  for (const Case& c : cases) EXPECT_EQ(ArtifactUri(c.path), c.uri) << c.path;
}

// Both CI formats count columns in UTF-16 code units; SARIF's end column is the one after the
// word, GitHub's the word's last.
TEST_F(CheckOutputTest, ColumnsCountUtf16UnitsInEveryLine) {
  struct Case {
    std::string text;
    int line, column, end;  // the SARIF region: end is past the word
  } cases[] = {
      {"teh", 1, 1, 4},
      {"the teh", 1, 5, 8},
      {"café teh", 1, 6, 9},
      {"\xF0\x9F\x98\x80 teh", 1, 4, 7},  // an emoji is a surrogate pair
      {"𝄞𝄞 wrold", 1, 6, 11},
      {"fine\r\nstill\rend teh", 3, 5, 8},
      {"at the end: teh\nnext", 1, 13, 16},
  };
  for (const Case& c : cases) {
    const nlohmann::json results = SarifResults({c.text});
    ASSERT_EQ(results.size(), 1u) << c.text;
    const nlohmann::json& region = results[0]["locations"][0]["physicalLocation"]["region"];
    EXPECT_EQ(region, (nlohmann::json{
                          {"startLine", c.line}, {"startColumn", c.column}, {"endColumn", c.end}}))
        << c.text;
    EXPECT_THAT(
        Reported(CheckFormat::kGithub, {c.text}),
        HasSubstr("file=a.txt,line=" + std::to_string(c.line) + ",col=" + std::to_string(c.column) +
                  ",endColumn=" + std::to_string(c.end - 1) + ",title=Misspelled word::"))
        << c.text;
  }
}

TEST_F(CheckOutputTest, SarifResultsNameTheWordAndOfferItsSuggestionsAsFixes) {
  const nlohmann::json results = SarifResults({"one teh\n", "wrold"});
  ASSERT_EQ(results.size(), 2u);
  const nlohmann::json& teh = results[0];
  EXPECT_EQ(teh["ruleId"], "misspelling");
  EXPECT_EQ(teh["level"], "warning");
  EXPECT_EQ(teh["message"]["text"], "\"teh\" is not a known word (suggestions: the, th)");
  ASSERT_EQ(teh["fixes"].size(), 2u);
  const nlohmann::json& change = teh["fixes"][0]["artifactChanges"][0];
  EXPECT_EQ(change["artifactLocation"]["uri"], "a.txt");
  EXPECT_EQ(change["replacements"][0]["deletedRegion"],
            teh["locations"][0]["physicalLocation"]["region"]);
  EXPECT_EQ(change["replacements"][0]["insertedContent"]["text"], "the");
  // Each text's lines count from its own start.
  EXPECT_EQ(results[1]["locations"][0]["physicalLocation"]["region"]["startLine"], 1);

  const nlohmann::json bare = SarifResults({"teh"}, 0);
  EXPECT_EQ(bare[0]["message"]["text"], "\"teh\" is not a known word");
  EXPECT_FALSE(bare[0].contains("fixes"));
}

TEST_F(CheckOutputTest, SarifIsOneLogWrittenAtTheEndEvenWithoutFindings) {
  const std::string log = Reported(CheckFormat::kSarif, {"all fine", "still fine"});
  const nlohmann::json parsed = nlohmann::json::parse(log);
  EXPECT_EQ(log.find('\n'), log.size() - 1);
  EXPECT_EQ(parsed["version"], "2.1.0");
  ASSERT_EQ(parsed["runs"].size(), 1u);
  EXPECT_EQ(parsed["runs"][0]["tool"]["driver"]["version"], Version());
  EXPECT_EQ(parsed["runs"][0]["results"], nlohmann::json::array());
}

TEST_F(CheckOutputTest, GithubMessagesAndFileNamesAreEscaped) {
  EXPECT_EQ(Reported(CheckFormat::kGithub, {"a\nteh"}, 1, "dir,x/a:b%.md"),
            "::warning file=dir%2Cx/a%3Ab%25.md,line=2,col=1,endColumn=3,title=Misspelled "
            "word::\"teh\" is not a known word (suggestions: the)\n");
}

}  // namespace
}  // namespace lexivane::cli
