#include "frontend/project/project_config.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "frontend/io/command_error.h"
#include "frontend/project/configured_check.h"
#include "frontend/project/project_configs.h"
#include "frontend/project/starter_config.h"
#include "lexivane/utf8.h"
#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

namespace fs = std::filesystem;
using lexivane::testing::ScratchDir;
using lexivane::testing::WriteBytes;

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CommandError& error) {
    return error.what();
  }
  return "no error";
}

// Each fault is reported at its place, before anything is checked.
TEST(ProjectConfig, EachFaultNamesItsFileLineAndColumn) {
  const struct {
    const char* text;
    const char* error;  // after "FILE:"
  } cases[] = {
      {"words = [\"a\",", "1:14: "},  // toml++'s own message
      {"wrods = []",
       "1:1: unknown key wrods (the keys: words, words-files, flag-words, "
       "ignore-paths, variant, rules, identifiers, overrides)"},
      {"words = \"teh\"", "1:9: words is an array of strings, not a string"},
      {"flag-words = [\"a\",\n  3]", "2:3: each item of flag-words is a string, not an integer"},
      {"words = [\"ok\", \" lead\"]", "1:16: words: the word begins or ends with a blank"},
      {"words-files = [\"none.txt\"]", "1:16: words-files: cannot read "},
      {"words-files = [\"bad.txt\"]", "bad.txt:3:1: the word holds a line break or another"},
      {"ignore-paths = [\"a[b\"]", "1:17: ignore-paths: a [ that no ] closes"},
      {"ignore-paths = [\"../x\"]",
       "1:17: ignore-paths: a glob of paths inside the folder has "
       "no .. part"},
      {"ignore-paths = [\"# x\"]", "1:17: ignore-paths: a glob that begins with # is a comment"},
      {"ignore-paths = [\"x\\\\\"]", "1:17: ignore-paths: a glob ends in a lone \\"},
      {"ignore-paths = [\"!\"]", "1:17: ignore-paths: an empty glob after !"},
      {"variant = \"en-NZ\"",
       "1:11: no variant en-NZ (the variants: en-US, en-GB, en-CA, en-AU, en)"},
      {"variant = 1", "1:11: variant is a string, not an integer"},
      {"rules = [\"names\"]", "1:9: rules is a table of rules and true or false, not an array"},
      {"[rules]\nnmes = false", "2:1: no rule nmes (the rules: digits, underscores, capitals,"},
      {"rules = { names = 0 }", "1:19: rules.names is true or false, not an integer"},
      {"identifiers = \"yes\"",
       "1:15: identifiers is true, false, \"likely\" or \"all\", not a string"},
      {"overrides = 1", "1:13: overrides is an array of tables, not an integer"},
      {"\n[[overrides]]\nwords = []", "2:1: an override needs paths"},
      {"[[overrides]]\npaths = []", "2:9: paths is empty: the override covers no file"},
      {"[[overrides]]\npaths = [\"a\"]\noverrides = []",
       "3:1: unknown key overrides (the keys: "
       "words, words-files, flag-words, "
       "ignore-paths, variant, rules, identifiers, "
       "paths)"},
      {"[[overrides]]\npaths = [\"[\"]", "2:10: paths: a [ that no ] closes"},
  };
  ScratchDir dir;
  WriteBytes(dir.path() / "bad.txt", "fine\n# a comment\nbad\x01word\n");
  const fs::path file = dir.path() / ".lexivane.toml";
  for (const auto& each : cases) {
    WriteBytes(file, each.text);
    const std::string error = ErrorOf([&] { ProjectConfig::Read(file); });
    const std::string place =
        each.error[0] == 'b' ? (dir.path() / "").string() : file.string() + ":";
    EXPECT_EQ(error.rfind(place + each.error, 0), 0u) << each.text << "\n" << error;
  }
}

// Every key, and overrides taken in order over the top level: a later table's word wins over an
// earlier one's, its values replace theirs, its ignore-paths add to theirs.
TEST(ProjectConfig, OverridesApplyInOrderOverTheTopLevel) {
  ScratchDir dir;
  WriteBytes(dir.path() / "more.txt", "\xEF\xBB\xBFGrpc\r\n\n  # not a word\n  tokio  \n");
  WriteBytes(dir.path() / "lexivane.toml", R"(
words = ["Lexivane", "teh"]
words-files = ["more.txt"]
flag-words = ["Recieved", "teh"]
ignore-paths = ["*.svg", "/vendor/", "!keep.svg"]
variant = "en_US"
rules = { names = false, digits = false }
[[overrides]]
paths = ["docs/"]
words = ["recieved"]
identifiers = "all"
variant = "en-GB"
rules = { digits = true }
ignore-paths = ["*.txt"]
[[overrides]]
paths = ["*.md"]
flag-words = ["lexivane"]
identifiers = false
)");
  const auto config = ProjectConfig::Read(dir.path() / "lexivane.toml");
  const struct {
    const char* file;
    bool ignored;
    std::vector<std::u16string> accepted, flagged;
    bool digits, identifiers;
  } cases[] = {
      {"a.c", false, {u"lexivane", u"grpc", u"tokio"}, {u"recieved", u"teh"}, false, false},
      {"x/pic.svg", true, {}, {}, false, false},
      {"keep.svg", false, {}, {}, false, false},
      {"vendor/lib/x.c", true, {}, {}, false, false},
      {"x/vendor/y.c", false, {}, {}, false, false},
      {"docs/a.c", false, {u"lexivane", u"recieved"}, {u"teh"}, true, true},
      {"docs/notes.txt", true, {}, {}, true, true},
      {"notes.txt", false, {}, {}, false, false},
      {"docs/a.md", false, {u"recieved"}, {u"lexivane", u"teh"}, true, false},
      {"../outside.svg", false, {u"lexivane"}, {u"teh"}, false, false},
  };
  for (const auto& each : cases) {
    const FileSettings got = config->SettingsFor((dir.path() / each.file).lexically_normal());
    SCOPED_TRACE(each.file);
    EXPECT_EQ(got.ignored, each.ignored);
    const ProjectSettings& settings = *got.settings;
    for (const auto& word : each.accepted) {
      EXPECT_TRUE(settings.words->accepted.contains(word)) << ToUtf8(word);
    }
    for (const auto& word : each.flagged) {
      EXPECT_TRUE(settings.words->flagged.contains(word)) << ToUtf8(word);
      EXPECT_FALSE(settings.words->accepted.contains(word)) << ToUtf8(word);
    }
    EXPECT_EQ(settings.rules.Has(WordRule::kDigits), each.digits);
    EXPECT_FALSE(settings.rules.Has(WordRule::kNames));
    EXPECT_EQ(settings.identifiers, each.identifiers);
    EXPECT_EQ(settings.rules.Has(WordRule::kUnlikelyTypos),
              !std::string_view(each.file).starts_with("docs/"));
    EXPECT_EQ(settings.variant, std::string_view(each.file).starts_with("docs/")
                                    ? EnglishVariant::kBritish
                                    : EnglishVariant::kAmerican);
  }
  // Files the same tables apply to share their settings, so that a session keeps its verdicts.
  EXPECT_EQ(config->SettingsFor(dir.path() / "b.c").settings,
            config->SettingsFor(dir.path() / "c/d.c").settings);
  // Standard input takes the top level only.
  EXPECT_FALSE(config->SettingsFor(dir.path() / "docs", true).settings->identifiers);
}

// The person's own global excludes are no part of a configuration's globs.
TEST(ProjectConfig, GlobsIgnoreThePersonsGitSettings) {
  ScratchDir dir;
  fs::create_directories(dir.path() / "git");
  WriteBytes(dir.path() / "git" / "ignore", "*.c\n");
  const char* before = getenv("XDG_CONFIG_HOME");
  const std::string kept = before ? before : "";
  setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
  const PathGlobs globs({"*.h"});
  const bool c_matched = globs.Match("src/a.c");
  before ? setenv("XDG_CONFIG_HOME", kept.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
  EXPECT_FALSE(c_matched);
  EXPECT_TRUE(globs.Match("src/a.h"));
  EXPECT_FALSE(globs.Match("src/A.H"));  // in the letter case written
}

// A file's configuration is the nearest above it, up to the repository's root.
TEST(ProjectConfigs, TheNearestConfigurationUpToTheRepositoryRootApplies) {
  ScratchDir dir;
  const fs::path repo = dir.path() / "repo";
  for (const char* folder : {"repo/.git", "repo/a/b", "repo/c", "repo/d/e", "plain/f"}) {
    fs::create_directories(dir.path() / folder);
  }
  WriteBytes(dir.path() / ".lexivane.toml", "words = [\"outside\"]");
  WriteBytes(repo / "lexivane.toml", "words = [\"top\"]");
  WriteBytes(repo / "a" / ".lexivane.toml", "words = [\"nested\"]");
  WriteBytes(repo / "d" / ".git", "gitdir: elsewhere\n");  // a submodule's root
  const struct {
    const char* file;
    const char16_t* word;  // accepted there; none: no configuration
  } cases[] = {
      {"repo/x.txt", u"top"},      {"repo/a/b/x.txt", u"nested"}, {"repo/a/x.txt", u"nested"},
      {"repo/c/x.txt", u"top"},    {"repo/d/e/x.txt", nullptr},   {"plain/f/x.txt", u"outside"},
      {"repo/none/x.txt", u"top"},  // a folder that is not there
  };
  ProjectConfigs configs;
  for (const auto& each : cases) {
    const auto words = configs.SettingsFor((dir.path() / each.file).string()).settings->words;
    EXPECT_EQ(words ? ToUtf8(*words->accepted.begin()) : "", each.word ? ToUtf8(each.word) : "")
        << each.file;
  }
  // --config: one file for all, wherever they are.
  ProjectConfigs named((repo / "a" / ".lexivane.toml").string());
  EXPECT_TRUE(named.SettingsFor((dir.path() / "plain/f/x.txt").string())
                  .settings->words->accepted.contains(u"nested"));
  // Both names in one folder: neither wins.
  WriteBytes(repo / "c" / ".lexivane.toml", "");
  WriteBytes(repo / "c" / "lexivane.toml", "");
  EXPECT_NE(ErrorOf([&] {
              ProjectConfigs().SettingsFor((repo / "c" / "x").string());
            }).find("both .lexivane.toml and lexivane.toml are here"),
            std::string::npos);
}

// What the configuration changes in a session: its words both ways, its rules under those of
// the command line, and the files it leaves out.
TEST(ConfiguredCheck, ASessionTakesEachFilesWordsAndRules) {
  ScratchDir dir;
  fs::create_directories(dir.path() / ".git");
  WriteBytes(dir.path() / ".lexivane.toml", R"(
words = ["wrold"]
flag-words = ["their"]
ignore-paths = ["skip/"]
rules = { digits = false }
[[overrides]]
paths = ["code/"]
identifiers = true
rules = { digits = true, capitals = false }
)");
  lexivane::testing::OnFreshThread([&] {
    SpellCheck engine;
    engine.Init();
    SpellingSession session(engine, 0);
    ConfiguredCheck check(std::nullopt, WordRules::All().Without(WordRule::kCapitals), false);
    const auto prepare = [&](const char* file, DocumentMode mode = DocumentMode::kNone) {
      return check.Prepare((dir.path() / file).string(), mode, session);
    };
    EXPECT_EQ(prepare("skip/a.txt"), std::nullopt);
    EXPECT_EQ(prepare("a.txt"), CodeIdentifiers::kHidden);
    EXPECT_TRUE(session.Accepts(u"Wrold"));
    EXPECT_FALSE(session.Accepts(u"THEIR"));
    EXPECT_FALSE(session.Accepts(u"qz9"));
    EXPECT_FALSE(session.Accepts(u"ABI"));  // off on the command line
    EXPECT_EQ(prepare("code/a.c", DocumentMode::kCFamily), CodeIdentifiers::kChecked);
    EXPECT_TRUE(session.Accepts(u"qz9"));
    EXPECT_FALSE(session.Accepts(u"ABI"));
    // Without a configuration, the session is as before.
    ConfiguredCheck plain(std::nullopt, WordRules::All(), false);
    EXPECT_EQ(plain.Prepare((dir.path() / "..").string(), DocumentMode::kNone, session),
              CodeIdentifiers::kHidden);
    EXPECT_FALSE(session.Accepts(u"wrold"));
    EXPECT_TRUE(session.Accepts(u"their"));
  });
}

// init writes a file that changes nothing yet, and never writes over a configuration.
TEST(StarterConfig, IsWrittenOnceAndChangesNothing) {
  ScratchDir dir;
  const fs::path file = WriteStarterConfig(dir.path());
  EXPECT_EQ(file, dir.path() / ".lexivane.toml");
  const FileSettings settings = ProjectConfig::Read(file)->SettingsFor(dir.path() / "a.txt");
  EXPECT_FALSE(settings.ignored);
  EXPECT_EQ(settings.settings->words, nullptr);
  EXPECT_EQ(settings.settings->rules, WordRules::All());
  EXPECT_FALSE(settings.settings->identifiers);
  WriteBytes(file, "words = []\n");
  EXPECT_NE(ErrorOf([&] { WriteStarterConfig(dir.path()); }).find("is here already"),
            std::string::npos);
  EXPECT_EQ(lexivane::testing::ReadBytes(file).size(), 11u);
  fs::remove(file);
  WriteBytes(dir.path() / "lexivane.toml", "");
  EXPECT_NE(ErrorOf([&] { WriteStarterConfig(dir.path()); }).find("lexivane.toml is here"),
            std::string::npos);
  EXPECT_FALSE(fs::exists(file));
}

}  // namespace
}  // namespace lexivane::frontend
