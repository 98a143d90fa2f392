// The language server's own state and logic: positions and edits of documents, the
// misspellings that follow the edits, the finder that must list what `lexivane list` lists, the
// settings, the words a code action is about, and the server's answers to code actions made
// on its own thread. The protocol as editors speak it is tested from outside (lsp/tests/).
#include <gtest/gtest.h>
#include <unistd.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <random>
#include <set>

#include <nlohmann/json.hpp>

#include "frontend/session/word_rules.h"
#include "frontend/session/word_verdicts.h"
#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"
#include "lsp/code_action_words.h"
#include "lsp/file_uri.h"
#include "lsp/language_modes.h"
#include "lsp/language_server.h"
#include "lsp/message_transport.h"
#include "lsp/misspelling_finder.h"
#include "lsp/protocol_json.h"
#include "lsp/server_settings.h"
#include "lsp/text_document.h"
#include "lsp/workspace.h"
#include "tests/test_support.h"

namespace lexivane::frontend::lsp {
namespace {

using namespace std::chrono_literals;
using Json = nlohmann::json;
using lexivane::testing::OnFreshThread;
using lexivane::testing::ScratchDir;
using lexivane::testing::WriteBytes;

TEST(TextDocument, PositionsCountUtf16AndEveryKindOfLineEnd) {
  // Lines: "a", "bc", "", "d", "😀x" (the emoji is two code units).
  const TextDocument document(u"a\r\nbc\r\rd\n\U0001F600x");
  EXPECT_EQ(document.line_count(), 5u);
  const struct {
    TextPosition position;
    std::size_t offset;
  } cases[] = {
      {{0, 0}, 0},  {{0, 1}, 1},   {{0, 9}, 1},    // past the end: before the CR LF
      {{1, 0}, 3},  {{1, 2}, 5},   {{2, 0}, 6},    // a lone CR ends a line
      {{2, 5}, 6},  {{3, 1}, 8},   {{4, 2}, 11},   // after the emoji's two units
      {{4, 3}, 12}, {{4, 99}, 12}, {{99, 0}, 12},  // past the last line: the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(document.OffsetOf(c.position), c.offset)
        << c.position.line << ":" << c.position.character;
  }
  EXPECT_EQ(document.PositionOf(5), (TextPosition{1, 2}));
  EXPECT_EQ(document.PositionOf(7), (TextPosition{3, 0}));
  EXPECT_EQ(document.PositionOf(99), (TextPosition{4, 3}));
}

// The table of line starts that edits keep must be the one a fresh document builds, whatever
// the edits join or split (a CR meeting an LF, a CR LF cut in two).
TEST(TextDocument, EditsKeepTheLinesAFreshDocumentFinds) {
  std::mt19937 random(20261206);
  const std::u16string pieces[] = {u"a", u"bc", u"\r", u"\n", u"\r\n", u"\U0001F600", u" "};
  const auto some_text = [&] {
    std::u16string text;
    for (int n = random() % 5; n > 0; --n) text += pieces[random() % std::size(pieces)];
    return text;
  };
  TextDocument document(some_text());
  for (int round = 0; round < 3000; ++round) {
    const std::size_t size = document.text().size();
    const std::size_t start = random() % (size + 1);
    const std::size_t end = start + random() % (size - start + 1);
    document.Replace(start, end, some_text());
    const TextDocument fresh(document.text());
    ASSERT_EQ(document.line_count(), fresh.line_count()) << ToUtf8(document.text());
    for (std::size_t offset = 0; offset <= document.text().size(); ++offset) {
      ASSERT_EQ(document.PositionOf(offset), fresh.PositionOf(offset)) << offset;
    }
  }
}

Misspelling At(std::size_t offset, std::u16string word) {
  const std::size_t length = word.size();
  return {offset, length, word};
}

// What VisitMisspellings finds: each as "line:character-line:character word".
std::vector<std::string> Visited(const Workspace& workspace, TextPosition start, TextPosition end) {
  std::vector<std::string> seen;
  workspace.VisitMisspellings("doc", start, end, [&](const PlacedMisspelling& placed) {
    seen.push_back(std::to_string(placed.start.line) + ":" +
                   std::to_string(placed.start.character) + "-" + std::to_string(placed.end.line) +
                   ":" + std::to_string(placed.end.character) + " " +
                   ToUtf8(placed.misspelling->word));
  });
  return seen;
}

TEST(Workspace, MisspellingsFollowTheEditsMadeBeforeAndDuringTheirCheck) {
  Workspace workspace(0ms);
  workspace.Open("doc", 1, u"teh wrold\nteh end");
  const auto never = [] { return false; };
  auto snapshot = workspace.NextToCheck(never);
  ASSERT_TRUE(snapshot);
  // An edit while the check runs: "xx " before everything, and "wrold" touched at its end.
  workspace.Change("doc", 2, {{{{{0, 0}, {0, 0}}}, u"xx "}, {{{{0, 12}, {0, 12}}}, u"s"}});
  std::vector<std::string> published;
  workspace.Store(*snapshot, {At(0, u"teh"), At(4, u"wrold"), At(10, u"teh")},
                  [&](const Workspace::Snapshot& checked, const std::vector<Misspelling>& found) {
                    EXPECT_EQ(checked.version, 1);
                    published.push_back(std::to_string(found.size()));
                  });
  EXPECT_EQ(published, std::vector<std::string>{"3"});  // as found, in the checked text
  // Stored for the current text: the words the edits touched (even at an edge) are gone, the
  // one after them moved; a word touching the range's edge counts.
  EXPECT_EQ(Visited(workspace, {0, 0}, {9, 0}), std::vector<std::string>{"1:0-1:3 teh"});
  EXPECT_EQ(Visited(workspace, {1, 3}, {1, 3}), std::vector<std::string>{"1:0-1:3 teh"});
  EXPECT_TRUE(Visited(workspace, {1, 4}, {1, 5}).empty());
  // A whole-text change drops everything; the document is due for a check again.
  workspace.Change("doc", 3, {{std::nullopt, u"new"}});
  EXPECT_TRUE(Visited(workspace, {0, 0}, {9, 0}).empty());
  snapshot = workspace.NextToCheck(never);
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->document.text(), u"new");
  EXPECT_EQ(snapshot->version, 3);
  // Nothing is stored or published for a document closed (or reopened) during its check.
  bool closed = false;
  workspace.Close("doc", [&] { closed = true; });
  workspace.Store(*snapshot, {At(0, u"new")}, [&](auto&, auto&) { ADD_FAILURE(); });
  EXPECT_TRUE(closed);
  EXPECT_FALSE(workspace.Change("doc", 4, {}));
  EXPECT_FALSE(workspace.NextToCheck([] { return true; }));
}

// The prose a code action made for the text as it stands spares the worker filtering it again;
// after a change it is the text's no longer.
TEST(Workspace, TheWorkerTakesTheProseACodeActionMade) {
  Workspace workspace(0ms);
  const std::u16string text = u"Teh `wrold` end";
  std::u16string prose = text;
  HideNonProse(prose, DocumentMode::kMarkdown);
  workspace.Open("doc", 1, text, DocumentMode::kMarkdown);
  const auto never = [] { return false; };
  EXPECT_FALSE(workspace.NextToCheck(never)->prose);  // none made yet
  ASSERT_TRUE(workspace.UncheckedPiece("doc", {0, 0}, {0, 0}));
  workspace.CheckAgain("doc");
  EXPECT_EQ(workspace.NextToCheck(never)->prose, prose);
  workspace.Change("doc", 2, {{{{{0, 0}, {0, 0}}}, u"x"}});
  EXPECT_FALSE(workspace.NextToCheck(never)->prose);
}

// What a code action checks on the spot: the words around its range, up to the blanks, never
// a whole line of megabytes.
TEST(Workspace, UncheckedPieceReachesTheBlanksAroundTheRange) {
  Workspace workspace(0ms);
  const std::u16string run(70000, u'x');
  workspace.Open("doc", 1, u"ab teh cd\nx" + run + u" wrold");
  const auto piece = [&](TextPosition start, TextPosition end) {
    const auto found = workspace.UncheckedPiece("doc", start, end);
    return found ? ToUtf8(found->text).substr(0, 12) + "|" + std::to_string(found->start.line) +
                       ":" + std::to_string(found->start.character) +
                       (found->cut_before ? " cut before" : "") +
                       (found->cut_after ? " cut after" : "")
                 : std::string("stored");
  };
  EXPECT_EQ(piece({0, 4}, {0, 4}), " teh|0:2");  // the blank before comes along
  EXPECT_EQ(piece({0, 0}, {0, 1}), "ab|0:0");
  EXPECT_EQ(piece({0, 7}, {1, 0}), " cd\n" + std::string(8, 'x') + "|0:6 cut after");
  EXPECT_EQ(piece({1, 4500}, {1, 4500}), std::string(12, 'x') + "|1:404 cut before cut after");
  EXPECT_EQ(piece({1, 70003}, {1, 70003}), " wrold|1:70001");
  EXPECT_EQ(piece({0, 0}, {1, 70003}), "stored");  // a range too long to check now
  const auto never = [] { return false; };
  const auto snapshot = workspace.NextToCheck(never);
  workspace.Store(*snapshot, {}, [](auto&, auto&) {});
  EXPECT_EQ(piece({0, 4}, {0, 4}), "stored");  // the last check is current
}

// The first misspelling a finder finds in `text` with its first suggestion, or "none".
std::string FirstFound(MisspellingFinder& finder, std::u16string_view text) {
  const auto found = finder.Find(text);
  if (!found || found->empty()) return "none";
  const Misspelling& first = found->front();
  return ToUtf8(first.word) + ":" +
         (finder.Suggestions(first)->empty() ? "" : ToUtf8(finder.Suggestions(first)->front()));
}

// The finder is held to the reference walk of `list`: the same words, as written, in order.
TEST(MisspellingFinder, FindsWhatListFindsLessTheSessionsWords) {
  const ScratchDir scratch;
  OnFreshThread([&] {
    CheckerSettings settings;
    settings.custom_dictionary = (scratch.path() / "made-by-the-first-word.dic").string();
    settings.max_suggestions = 3;
    MisspellingFinder finder(settings,
                             [](const std::string& warning) { ADD_FAILURE() << warning; });
    SpellCheck engine;  // the reference, on the same thread's dictionaries
    engine.Init();
    const std::u16string texts[] = {
        u"Hello wrold, this is teh test.\n\U0001F600 caf\u00e9 teh mispelled line",
        u"wouldn\u2019t \u201cwrold\u201d don't-dont e.g. abc123 Teh TEH",
        u"na\u00efve re\u0301cieve \u2014em\u2014dash\u2014 x\u0301y",
    };
    for (const std::u16string& text : texts) {
      std::vector<std::u16string> expected;
      WordVerdicts verdicts([&engine](std::u16string_view word) {
        return engine.CheckWord(word) || RulesAccept(word, WordRules::All());
      });
      ForEachRunningWordByIcu(text, [&](const RunningWord& word) {
        if (!verdicts.Accepts(word.word)) expected.push_back(text.substr(word.offset, word.length));
      });
      const auto found = finder.Find(text);
      ASSERT_TRUE(found);
      std::vector<std::u16string> words;
      for (const Misspelling& m : *found) {
        EXPECT_EQ(text.substr(m.offset, m.length), m.word);
        EXPECT_LE(finder.Suggestions(m)->size(), 3u);
        words.push_back(m.word);
      }
      EXPECT_EQ(words, expected) << ToUtf8(text);
    }
    // Suggestions in the word's letter case. Ignored words match in any letter case, folded as
    // the engine folds it (a dotted capital I is an i); added words count at once.
    EXPECT_EQ(FirstFound(finder, u"Teh"), "Teh:The");
    finder.Ignore(u"TEH");
    EXPECT_EQ(FirstFound(finder, u"teh"), "none");
    EXPECT_EQ(FirstFound(finder, u"izmirx"), "izmirx:izmir's");
    finder.Ignore(u"\u0130zmirx");
    EXPECT_EQ(FirstFound(finder, u"izmirx IZMIRX \u0130ZMIRX"), "none");
    EXPECT_EQ(FirstFound(finder, u"wrold"), "wrold:world");
    finder.Add(u"wrold");
    EXPECT_EQ(FirstFound(finder, u"wrold"), "none");
    EXPECT_TRUE(engine.CheckWord(u"wrold"));  // in the thread's custom dictionary
    std::u16string many;
    for (int i = 0; i < 10000; ++i) many += u"tehh ";
    EXPECT_FALSE(finder.Find(many, [] { return true; }));
  });
}

TEST(MisspellingFinder, LoadsTheCustomDictionaryOrChecksWithoutIt) {
  const ScratchDir scratch;
  WriteBytes(scratch.path() / "words.dic", "wrold\r\n");
  const struct {
    const char* file;
    bool loaded;
    const char* warning;  // the end of it
    const char* found;
  } cases[] = {
      {"words.dic", true, "", "teh:the"},
      {"missing.dic", false, "", "wrold:world"},  // none until the first word saved makes it
      {".", false, "cannot read the custom dictionary: Is a directory; checking without it",
       "wrold:world"},
  };
  for (const auto& c : cases) {
    OnFreshThread([&] {
      CheckerSettings settings;
      settings.custom_dictionary = (scratch.path() / c.file).string();
      std::string warning;
      MisspellingFinder finder(settings, [&](const std::string& text) { warning = text; });
      EXPECT_EQ(finder.loaded_custom_file().has_value(), c.loaded) << c.file;
      EXPECT_TRUE(warning.ends_with(c.warning)) << warning;
      EXPECT_EQ(FirstFound(finder, u"wrold teh"), c.found) << c.file;
    });
  }
}

// Another program's words count once the finder catches up with the file; loading it again
// must not lose the session's own words, saved or not.
TEST(MisspellingFinder, CatchesUpWithWordsAddedToTheFileElsewhere) {
  const ScratchDir scratch;
  OnFreshThread([&] {
    CheckerSettings settings;
    settings.custom_dictionary = (scratch.path() / "words.dic").string();
    MisspellingFinder finder(settings,
                             [](const std::string& warning) { ADD_FAILURE() << warning; });
    finder.Add(u"zorgx");  // not saved
    EXPECT_EQ(FirstFound(finder, u"zorgx wrold teh"), "wrold:world");
    EXPECT_FALSE(finder.CatchUpWithCustomFile());
    CustomDictionaryOf(settings).AddWords({u"wrold"});
    EXPECT_TRUE(finder.CatchUpWithCustomFile());
    EXPECT_FALSE(finder.CatchUpWithCustomFile());  // until it changes again
    EXPECT_EQ(FirstFound(finder, u"zorgx wrold teh"), "teh:the");
  });
}

// The diagnostics are written as text; they must read as the JSON the code actions embed, for
// words that need escaping and positions past the first line.
TEST(ProtocolJson, PublishedDiagnosticsReadAsTheTreeBuiltOnes) {
  const std::u16string text =
      u"say \"x\"y \\tehh\\\n\U0001F600 caf\u00e9x \u0001q\u001fq wrold\u2019s \u2028z";
  Workspace::Snapshot snapshot;
  snapshot.uri = "file:///a \"b\"\\c.md";
  snapshot.version = 7;
  snapshot.document = TextDocument(text);
  std::vector<Misspelling> found;
  for (const std::u16string word :
       {u"\"x\"y", u"\\tehh\\", u"caf\u00e9x", u"\u0001q\u001fq", u"wrold\u2019s", u"\u2028z"}) {
    found.push_back({text.find(word), word.size(), word});
  }
  for (const int severity : {1, 3}) {
    Json expected = Json::array();
    for (const Misspelling& m : found) {
      expected.push_back(Diagnostic(Range(snapshot.document.PositionOf(m.offset),
                                          snapshot.document.PositionOf(m.offset + m.length)),
                                    m, severity));
    }
    const Json message = Json::parse(PublishDiagnosticsMessage(snapshot, found, severity));
    EXPECT_EQ(
        message,
        (Json{{"jsonrpc", "2.0"},
              {"method", "textDocument/publishDiagnostics"},
              {"params",
               {{"uri", snapshot.uri}, {"version", 7}, {"diagnostics", std::move(expected)}}}}));
  }
  EXPECT_EQ(Json::parse(PublishDiagnosticsMessage(snapshot, {}, 3))["params"]["diagnostics"],
            Json::array());
}

TEST(ServerSettings, TakesTheValuesThatFitAndNamesTheOthers) {
  ServerSettings current;
  current.checker = {"/old.dic", 0.8f, 5};
  const struct {
    const char* given;
    ServerSettings expected;
    std::vector<std::string> refused;
  } cases[] = {
      {R"({})", current, {}},
      {R"({"lexivane": {"severity": "hint", "maxSuggestions": 15, "other": true}})",
       {{"/old.dic", 0.8f, 15}, 4},
       {}},
      {R"({"severity": 1, "suggestionThreshold": 0.5, "customDictionary": "/new.dic"})",
       {{"/new.dic", 0.5f, 5}, 1},
       {}},
      {R"({"customDictionary": null, "suggestionThreshold": 1, "severity": "info"})",
       {{std::nullopt, 1.0f, 5}, 3},
       {}},
      {R"({"customDictionary": "", "maxSuggestions": 0})", {{std::nullopt, 0.8f, 0}, 3}, {}},
      {R"({"checkIdentifiers": true})",
       {{"/old.dic", 0.8f, 5, Ranking::kTyping, WordRules::All(), true}, 3},
       {}},
      {R"({"checkIdentifiers": 1})", current, {"checkIdentifiers"}},
      {R"({"severity": 0, "maxSuggestions": 16, "suggestionThreshold": 1.5, "customDictionary": 5})",
       current,
       {"customDictionary", "severity", "suggestionThreshold", "maxSuggestions"}},
      {R"({"severity": "fatal", "maxSuggestions": 2.5, "suggestionThreshold": "0.5"})",
       current,
       {"severity", "suggestionThreshold", "maxSuggestions"}},
      {R"({"severity": 2.0, "maxSuggestions": -1, "suggestionThreshold": -0.1})",
       current,
       {"severity", "suggestionThreshold", "maxSuggestions"}},
      {R"({"noRule": ["digits", "roman"]})",
       {{"/old.dic", 0.8f, 5, Ranking::kTyping,
         WordRules::All().Without(WordRule::kDigits).Without(WordRule::kRoman)},
        3},
       {}},
      {R"({"suggestionRanking": "engine", "maxSuggestions": 3})",
       {{"/old.dic", 0.8f, 3, Ranking::kEngine}, 3},
       {}},
      {R"({"lexivane": {"suggestionRanking": "typing"}})", current, {}},
      {R"({"suggestionRanking": "Engine"})", current, {"suggestionRanking"}},
      {R"({"suggestionRanking": null})", current, {"suggestionRanking"}},
      {R"({"suggestionRanking": ["engine"]})", current, {"suggestionRanking"}},
      {R"({"noRule": ["digits", "nosuch"]})", current, {"noRule"}},
      {R"({"noRule": "digits"})", current, {"noRule"}},
      {R"({"variant": "en_GB"})",
       {{"/old.dic", 0.8f, 5, Ranking::kTyping, WordRules::All(), false, EnglishVariant::kBritish},
        3},
       {}},
      {R"({"variant": null})", current, {}},
      {R"({"variant": "en-NZ"})", current, {"variant"}},
      {R"({"variant": 1})", current, {"variant"}},
      {R"({"lexivane": 5, "severity": 1})", current, {}},  // the key wins, and is no object
      {R"([1])", current, {}},
  };
  for (const auto& c : cases) {
    const SettingsChange change = ChangeSettings(current, Json::parse(c.given));
    EXPECT_EQ(change.settings, c.expected) << c.given;
    EXPECT_EQ(change.refused, c.refused) << c.given;
  }
}

// The words found on the spot in a piece that starts inside a line of the document: on the
// piece's first line characters shift by the piece's start, on later lines they do not.
TEST(CodeActionWords, PlacesThePiecesWordsThatTouchTheRange) {
  const std::u16string text = u"teh wrold\nfoo teh";
  const std::vector<Misspelling> found = {At(0, u"teh"), At(4, u"wrold"), At(14, u"teh")};
  const struct {
    TextPosition start, end;
    bool cut_before, cut_after;
    std::vector<std::string> expected;
  } cases[] = {
      {{3, 10}, {3, 10}, false, false, {"3:10-3:13 teh"}},
      {{3, 13}, {3, 13}, false, false, {"3:10-3:13 teh"}},  // a cursor at a word's end
      {{3, 14}, {3, 16}, false, false, {"3:14-3:19 wrold"}},
      {{4, 4}, {4, 5}, false, false, {"4:4-4:7 teh"}},
      {{3, 12}, {4, 0}, false, false, {"3:10-3:13 teh", "3:14-3:19 wrold"}},
      {{3, 10}, {4, 7}, true, true, {"3:14-3:19 wrold"}},  // words at a cut may be longer
      {{4, 0}, {4, 3}, false, false, {}},
  };
  for (const auto& c : cases) {
    const Workspace::TextPiece piece{text, {3, 10}, c.cut_before, c.cut_after};
    std::vector<std::string> placed;
    for (const PlacedMisspelling& p : MisspellingsTouchingRange(piece, c.start, c.end, found)) {
      placed.push_back(std::to_string(p.start.line) + ":" + std::to_string(p.start.character) +
                       "-" + std::to_string(p.end.line) + ":" + std::to_string(p.end.character) +
                       " " + ToUtf8(p.misspelling->word));
    }
    EXPECT_EQ(placed, c.expected) << c.start.line << ":" << c.start.character;
  }
}

// What waits for a client that does not read: diagnostics superseded, answers revised or
// dropped, and the bytes of the replies (not of the diagnostics) held to the bound that stops
// the reading.
TEST(MessageWriter, BoundsAndRevisesWhatWaitsForTheClient) {
  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  const std::string quoted_x = "\"" + std::string(1 << 20, 'x') + "\"";
  const std::size_t replies = MessageWriter::kMaxQueuedBytes / quoted_x.size() + 1;
  std::vector<std::string> sent;
  {
    MessageWriter writer(ends[1]);
    // More than a pipe holds: what follows waits in the queue.
    writer.Send(quoted_x, {.reply_to = "1"});
    writer.Send("\"old diagnostics\"", {.topic = "a"});
    writer.Send("\"reply 2\"", {.reply_to = "2", .about = "a"});
    writer.Send("\"new diagnostics\"", {.topic = "a"});
    writer.Send("\"reply 3\"", {.reply_to = "3", .about = "b"});
    writer.Revise([](const MessageLabel& label) -> std::optional<std::string> {
      if (label.about == "a") return "\"reply 2 revised\"";
      if (!label.topic.empty()) return "";
      return std::nullopt;
    });
    writer.Send(std::string(MessageWriter::kMaxQueuedBytes, 'd'), {.topic = "b"});
    writer.WaitForRoom();  // diagnostics do not count
    for (std::size_t i = 0; i < replies; ++i) writer.Send(quoted_x, {.reply_to = "9"});
    auto room = std::async(std::launch::async, [&] { writer.WaitForRoom(); });
    EXPECT_EQ(room.wait_for(100ms), std::future_status::timeout);
    MessageReader reader(ends[0]);
    for (std::string body;
         sent.size() < replies + 4 && reader.Next(body) == MessageReader::Result::kMessage;) {
      sent.push_back(body.size() > 100 ? body.substr(0, 2) + std::to_string(body.size()) : body);
    }
    EXPECT_EQ(room.wait_for(10s), std::future_status::ready);
  }
  ::close(ends[0]);
  ::close(ends[1]);
  std::vector<std::string> expected = {"\"x1048578", "\"reply 2 revised\"", "\"reply 3\"",
                                       "dd" + std::to_string(MessageWriter::kMaxQueuedBytes)};
  expected.resize(expected.size() + replies, "\"x1048578");
  EXPECT_EQ(sent, expected);
}

// A client of a LanguageServer made on the calling thread, as the tool makes it on its main
// thread. Documents rest for an hour before the worker checks them, so that after an edit
// every code action is answered on the server's thread until the test says otherwise.
class TestClient : public Outbox {
 public:
  explicit TestClient(ServerSettings settings) : server_(*this, std::move(settings), 1h) {
    Request("initialize", {{"capabilities", Json::object()}});
  }

  void Notify(const std::string& method, Json params) {
    server_.Handle(
        Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}}.dump());
  }
  // The whole response: requests are answered before Handle returns.
  Json Request(const std::string& method, Json params) {
    const int id = ++last_id_;
    server_.Handle(
        Json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}}
            .dump());
    return Take([&](const Json& message) { return message.value("id", 0) == id; });
  }
  // The parameters of the first notification of `method` for which `wanted` holds.
  Json AwaitNotification(const std::string& method,
                         const std::function<bool(const Json& params)>& wanted) {
    return Take([&](const Json& message) {
      return message.value("method", "") == method && wanted(message["params"]);
    })["params"];
  }
  Json AwaitDiagnostics(const std::function<bool(const Json& params)>& wanted) {
    return AwaitNotification("textDocument/publishDiagnostics", wanted)["diagnostics"];
  }

  void Open(std::string text, const std::string& language_id = "plaintext",
            const std::string& uri = kUri) {
    Notify(
        "textDocument/didOpen",
        {{"textDocument",
          {{"uri", uri}, {"languageId", language_id}, {"version", 1}, {"text", std::move(text)}}}});
  }
  // Inserts `text` at `where`, the start of the document unless given.
  void Insert(const std::string& text, TextPosition where = {}) {
    const Json at = {{"line", where.line}, {"character", where.character}};
    Notify("textDocument/didChange",
           {{"textDocument", {{"uri", kUri}, {"version", ++version_}}},
            {"contentChanges",
             Json::array({{{"range", {{"start", at}, {"end", at}}}, {"text", text}}})}});
  }
  // The words of the code actions for the range, each with its number of corrections:
  // "word:corrections@line:character".
  std::vector<std::string> ActionWords(TextPosition start, TextPosition end) {
    std::vector<std::string> words;
    int corrections = 0;
    for (const Json& action : CodeActions(start, end)) {
      if (action.contains("edit")) {
        corrections +=
            action["edit"].contains("changes") && action["edit"]["changes"].contains(kUri);
      } else if (action["command"]["command"] == kAddCommand) {
        const Json& where = action["diagnostics"][0]["range"]["start"];
        words.push_back(action["command"]["arguments"][0].get<std::string>() + ":" +
                        std::to_string(corrections) + "@" + where["line"].dump() + ":" +
                        where["character"].dump());
        corrections = 0;
      }
    }
    return words;
  }

  Json CodeActions(TextPosition start, TextPosition end, const std::string& uri = kUri) {
    return Request("textDocument/codeAction",
                   {{"textDocument", {{"uri", uri}}},
                    {"range",
                     {{"start", {{"line", start.line}, {"character", start.character}}},
                      {"end", {{"line", end.line}, {"character", end.character}}}}},
                    {"context", {{"diagnostics", Json::array()}}}})
        .at("result");
  }

 private:
  static constexpr const char* kUri = "file:///test.txt";

  // Everything arrives at once: nothing waits to be revised.
  void Send(std::string body, MessageLabel) override {
    std::lock_guard lock(mutex_);
    messages_.push_back(Json::parse(body));
    arrived_.notify_all();
  }
  void Revise(const Reviser&) override {}
  Json Take(const std::function<bool(const Json&)>& wanted) {
    std::unique_lock lock(mutex_);
    for (std::size_t seen = 0;; ++seen) {
      while (seen == messages_.size()) {
        if (!arrived_.wait_for(lock, 10s, [&] { return seen < messages_.size(); })) {
          ADD_FAILURE() << "no message came";
          return Json::object();
        }
      }
      if (wanted(messages_[seen])) {
        Json message = std::move(messages_[seen]);
        messages_.erase(messages_.begin() + static_cast<std::ptrdiff_t>(seen));
        return message;
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable arrived_;
  std::deque<Json> messages_;
  int last_id_ = 0;
  int version_ = 1;
  LanguageServer server_;  // last: its worker stops before what it sends to goes
};

// Settings whose corrections come from the engine's own search, whose lists never change: the
// tests below tell the code actions' words apart by how many corrections each has.
ServerSettings OwnSearchSettings() {
  ServerSettings settings;
  settings.checker.ranking = Ranking::kEngine;
  return settings;
}

TEST(LanguageServer, CodeActionsAfterEditsTakeTheSessionsWordsAndSettings) {
  const ScratchDir scratch;
  WriteBytes(scratch.path() / "a-file", "");
  OnFreshThread([&] {
    ServerSettings settings = OwnSearchSettings();
    settings.checker.custom_dictionary = (scratch.path() / "a-file" / "words.dic").string();
    TestClient client(settings);
    client.Open("teh wrold izmirx");
    const Json diagnostics = client.AwaitDiagnostics([](const Json&) { return true; });
    EXPECT_EQ(diagnostics.size(), 3u);
    EXPECT_FALSE(diagnostics[0]["data"].contains("suggestions"));  // searched for code actions
    // At rest the stored misspellings serve, and their suggestions are searched now.
    EXPECT_EQ(client.ActionWords({0, 0}, {0, 16}),
              (std::vector<std::string>{"teh:5@0:0", "wrold:2@0:4", "izmirx:2@0:10"}));
    // The text just typed has no stored misspellings: the server's thread checks it.
    client.Insert("wrold ");
    EXPECT_EQ(client.ActionWords({0, 0}, {0, 0}), std::vector<std::string>{"wrold:2@0:0"});
    // Ignored in another letter case, and added to a dictionary that cannot be saved: the word
    // is accepted all the same, and the failed save reported.
    for (const auto& [command, word] :
         {std::pair{kIgnoreCommand, "\u0130zmirx"}, std::pair{kAddCommand, "wrold"}}) {
      EXPECT_EQ(client.Request("workspace/executeCommand",
                               {{"command", command}, {"arguments", {word}}})["result"],
                nullptr);
    }
    const Json report =
        client.AwaitNotification("window/showMessage", [](const Json&) { return true; });
    EXPECT_EQ(report["type"], 1);
    EXPECT_NE(report["message"].get<std::string>().find("words.dic"), std::string::npos);
    client.Insert("IZMIRX wrold tehh ");
    EXPECT_EQ(client.ActionWords({0, 0}, {0, 18}), std::vector<std::string>{"tehh:5@0:13"});
    // A finder made afresh for the new settings has the session's words too.
    client.Notify("workspace/didChangeConfiguration", {{"settings", {{"maxSuggestions", 1}}}});
    client.Insert("izmirx wrold tehh ");
    EXPECT_EQ(client.ActionWords({0, 0}, {0, 50}),
              (std::vector<std::string>{"tehh:1@0:13", "tehh:1@0:31", "teh:1@0:42"}));
  });
}

// The words of a custom dictionary loaded on a thread stay in its dictionaries, so once the
// settings name another file, the server's thread answers from what the worker stored.
TEST(LanguageServer, AnotherCustomDictionaryLeavesCodeActionsToTheWorker) {
  const ScratchDir scratch;
  WriteBytes(scratch.path() / "first.dic", "wrold\r\n");
  OnFreshThread([&] {
    ServerSettings settings = OwnSearchSettings();
    settings.checker.custom_dictionary = (scratch.path() / "first.dic").string();
    TestClient client(settings);
    client.Open("wrold teh");
    client.AwaitDiagnostics([](const Json&) { return true; });
    client.Insert("x ");
    EXPECT_EQ(client.ActionWords({0, 0}, {0, 20}), std::vector<std::string>{"teh:5@0:8"});
    client.Notify("workspace/didChangeConfiguration",
                  {{"settings", {{"customDictionary", (scratch.path() / "second.dic").string()}}}});
    client.AwaitDiagnostics([](const Json& params) { return params["diagnostics"].size() == 2; });
    client.Insert("y ");
    EXPECT_EQ(client.ActionWords({0, 0}, {0, 20}),
              (std::vector<std::string>{"wrold:2@0:4", "teh:5@0:10"}));
  });
}

// The directives of the whole document, those in a comment its mode hides included, hold for
// the worker's check and for the pieces that code actions check after an edit.
TEST(LanguageServer, HonoursTheDocumentsDirectives) {
  OnFreshThread([] {
    TestClient client{OwnSearchSettings()};
    client.Open(
        "<!-- cspell:ignore izmirx -->\n<!-- lexivane: disable -->\nwrold\n"
        "<!-- lexivane: enable -->\nteh izmirx",
        "markdown");
    const Json found = client.AwaitDiagnostics([](const Json&) { return true; });
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]["range"]["start"], (Json{{"line", 4}, {"character", 0}}));
    client.Insert("tehh izmirx ", {2, 0});
    EXPECT_EQ(client.ActionWords({2, 0}, {2, 20}), std::vector<std::string>{});
    client.Insert("izmirx wrold ", {4, 0});
    EXPECT_EQ(client.ActionWords({4, 0}, {4, 20}),
              (std::vector<std::string>{"wrold:2@4:7", "teh:5@4:13"}));
  });
}

TEST(LanguageModes, TheLanguageIdDecidesAndTheFileNameServesForAnUnknownOne) {
  const struct {
    const char* language_id;
    const char* uri;
    DocumentMode expected;
  } cases[] = {
      {"markdown", "file:///a/notes.txt", DocumentMode::kMarkdown},
      {"plaintext", "file:///a/README.md", DocumentMode::kNone},
      {"latex", "untitled:Untitled-1", DocumentMode::kTex},
      {"plaintex", "file:///a/x", DocumentMode::kTex},
      {"typescriptreact", "file:///a/x", DocumentMode::kCFamily},
      {"python", "file:///a/x", DocumentMode::kPython},
      {"dockerfile", "file:///a/x", DocumentMode::kHashComments},
      {"groff", "file:///a/x", DocumentMode::kNroff},
      {"yaml", "file:///a/x", DocumentMode::kYaml},
      {"restructuredtext", "file:///a/x", DocumentMode::kRestructuredText},
      {"", "file:///linux/arch/Kconfig.debug", DocumentMode::kKconfig},
      {"Markdown", "file:///a/page.html", DocumentMode::kHtml},  // ids are case-sensitive
      {"", "file:///a/b.c/paper.tex?query#frag", DocumentMode::kTex},
      {"gitcommit", "file:///a/Makefile", DocumentMode::kHashComments},
      {"gitcommit", "file:///a/COMMIT_EDITMSG", DocumentMode::kNone},
      {"", "file:///a/dir/", DocumentMode::kNone},
      {"", "", DocumentMode::kNone},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ModeOfDocument(c.language_id, c.uri), c.expected) << c.language_id << " " << c.uri;
  }
}

// The worker and the server's own thread both check the prose of a document, and place what
// they find in the text as it stands. A word typed inside a code block is not prose even though
// the piece around it, taken alone, would look like prose.
TEST(LanguageServer, ChecksTheProseOfADocumentInItsLanguagesMode) {
  OnFreshThread([] {
    TestClient markdown{OwnSearchSettings()};
    markdown.Open("Teh `wrold` and\n\n```\nxyzzyq\n```\nwrold", "markdown");
    const Json found = markdown.AwaitDiagnostics([](const Json&) { return true; });
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]["range"]["start"], (Json{{"line", 0}, {"character", 0}}));
    EXPECT_EQ(found[1]["range"]["start"], (Json{{"line", 5}, {"character", 0}}));
    // A fence put before the text turns each block inside out: the word typed with it is code,
    // the word that was code is prose.
    markdown.Insert("```\ntehh ");
    EXPECT_EQ(markdown.ActionWords({0, 0}, {9, 9}), std::vector<std::string>{"xyzzyq:0@4:0"});
    EXPECT_EQ(markdown.ActionWords({4, 0}, {4, 0}), std::vector<std::string>{"xyzzyq:0@4:0"});
    markdown.Insert("```\n");  // an empty block first: the prose made before must not serve
    EXPECT_EQ(markdown.ActionWords({0, 0}, {9, 9}),
              (std::vector<std::string>{"tehh:5@2:0", "Teh:5@2:5", "wrold:2@7:0"}));

    TestClient html{OwnSearchSettings()};
    html.Open("<p title=\"wrold\">caf&eacute;x &amp; <code>teh</code> wrold</p>", "html");
    const Json words = html.AwaitDiagnostics([](const Json&) { return true; });
    std::vector<std::string> placed;
    for (const Json& d : words) {
      placed.push_back(d["data"]["word"].get<std::string>() + "@" +
                       d["range"]["start"]["character"].dump() + "-" +
                       d["range"]["end"]["character"].dump());
    }
    EXPECT_EQ(placed, (std::vector<std::string>{"wrold@10-15", "caf\u00e9x@17-29", "wrold@53-58"}));
    html.Insert("<b>tehh</b> ");
    EXPECT_EQ(html.ActionWords({0, 0}, {0, 80}),
              (std::vector<std::string>{"tehh:5@0:3", "wrold:2@0:22", "caf\u00e9x:5@0:29",
                                        "wrold:2@0:65"}));

    // With identifiers checked, each word of one is reported at its own range, in the worker's
    // check and in the code actions after an edit alike.
    ServerSettings settings = OwnSearchSettings();
    settings.checker.check_identifiers = true;
    TestClient code{settings};
    code.Open("int getVaule(void);  // teh getVaule", "cpp");
    placed.clear();
    for (const Json& d : code.AwaitDiagnostics([](const Json&) { return true; })) {
      placed.push_back(d["data"]["word"].get<std::string>() + "@" +
                       d["range"]["start"]["character"].dump() + "-" +
                       d["range"]["end"]["character"].dump());
    }
    EXPECT_EQ(placed, (std::vector<std::string>{"Vaule@7-12", "teh@24-27"}));
    code.Insert("x_wrold; ");
    EXPECT_EQ(code.ActionWords({0, 0}, {0, 80}),
              (std::vector<std::string>{"wrold:2@0:2", "Vaule:5@0:16", "teh:5@0:33"}));
    // As the tool checks them: the programming words of the document's language (`strrchr` in
    // C), an identifier's word that is no likely typo (`zalloc`, judged as a name where it is
    // one, as prose in the comment), a TeX document's own markup names (`amsmath`).
    TestClient c_code{settings};
    c_code.Open("/* strrchr frobz zalloc */ void *zalloc(int lenght);", "c");
    placed.clear();
    for (const Json& d : c_code.AwaitDiagnostics([](const Json&) { return true; })) {
      placed.push_back(d["data"]["word"].get<std::string>());
    }
    EXPECT_EQ(placed, (std::vector<std::string>{"frobz", "zalloc", "lenght"}));
    TestClient tex{OwnSearchSettings()};
    tex.Open("\\usepackage{amsmath} Load amsmath, not amsmathx.", "latex");
    placed.clear();
    for (const Json& d : tex.AwaitDiagnostics([](const Json&) { return true; })) {
      placed.push_back(d["data"]["word"].get<std::string>());
    }
    EXPECT_EQ(placed, std::vector<std::string>{"amsmathx"});
    // Prose is not cut up by the setting, only by the camel-case rule.
    settings.checker.rules = WordRules::All().Without(WordRule::kCamelCase);
    TestClient prose{settings};
    prose.Open("McDonaldx", "markdown");
    const Json whole = prose.AwaitDiagnostics([](const Json&) { return true; });
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0]["data"]["word"], "McDonaldx");
  });
}

TEST(FileUri, ReadsThePathAndWritesItBack) {
  const struct {
    const char* uri;
    std::optional<std::string> path;
  } cases[] = {
      {"file:///a/b%20c/%C3%A9.md", "/a/b c/\u00e9.md"},
      {"FILE://localhost/a?x#y", "/a"},
      {"file:///C:/x", "C:/x"},
      {"file://host/a", std::nullopt},
      {"file:///a%2", std::nullopt},
      {"untitled:Untitled-1", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FilePathOfUri(c.uri), c.path) << c.uri;
  for (const std::string path : {"/a/b c/\u00e9#%.md", "C:/x y"}) {
    EXPECT_EQ(FilePathOfUri(FileUriOf(path)), path) << FileUriOf(path);
  }
}

// A document is checked with the configuration of its file, read again when it changes; the
// project-words action edits that file in the client's units.
TEST(LanguageServer, AppliesTheConfigurationOfEachDocumentsFile) {
  const ScratchDir scratch;
  std::filesystem::create_directory(scratch.path() / ".git");
  std::filesystem::create_directory(scratch.path() / "vendor");
  const std::filesystem::path config = scratch.path() / ".lexivane.toml";
  WriteBytes(config,
             "# caf\u00e9\nwords = [\"wrold\", \"caf\u00e9\"]  # \u2615\n"
             "flag-words = [\"the\"]\nignore-paths = [\"vendor/\"]\n");
  const std::string notes = FileUriOf((scratch.path() / "notes.txt").string());
  const std::string vendored = FileUriOf((scratch.path() / "vendor" / "x.txt").string());
  const auto words_of = [](const Json& diagnostics) {
    std::vector<std::string> words;
    for (const Json& d : diagnostics) words.push_back(d["data"]["word"].get<std::string>());
    return words;
  };
  const auto of = [](const std::string& uri) {
    return [uri](const Json& params) { return params["uri"] == uri; };
  };
  OnFreshThread([&] {
    TestClient client{OwnSearchSettings()};
    client.Open("the wrold teh", "plaintext", notes);
    EXPECT_EQ(words_of(client.AwaitDiagnostics(of(notes))),
              (std::vector<std::string>{"the", "teh"}));
    client.Open("teh", "plaintext", vendored);
    EXPECT_EQ(client.AwaitDiagnostics(of(vendored)), Json::array());
    EXPECT_EQ(client.CodeActions({0, 0}, {0, 3}, vendored), Json::array());

    // Beside "Add to the dictionary", an edit of the configuration file, in UTF-16 units.
    std::vector<Json> project_edits;
    for (const Json& action : client.CodeActions({0, 10}, {0, 10}, notes)) {
      if (action["title"] == "Add 'teh' to the project's words") project_edits.push_back(action);
    }
    ASSERT_EQ(project_edits.size(), 1u);
    const Json edits = project_edits[0]["edit"]["changes"][FileUriOf(config.string())];
    ASSERT_EQ(edits.size(), 1u);
    EXPECT_EQ(edits[0]["range"], Range({1, 24}, {1, 24}));
    EXPECT_EQ(edits[0]["newText"], ", \"teh\"");

    // A changed file counts at the next check, which checks every document again.
    WriteBytes(config, "words = [\"teh\"]\n");
    client.CodeActions({0, 0}, {0, 0}, notes);
    EXPECT_EQ(words_of(client.AwaitDiagnostics(of(notes))), (std::vector<std::string>{"wrold"}));
    EXPECT_EQ(words_of(client.AwaitDiagnostics(of(vendored))), std::vector<std::string>{});
    // So does a change of a words file it names.
    const std::filesystem::path words_file = scratch.path() / "words.txt";
    WriteBytes(words_file, "");
    WriteBytes(config, "words-files = [\"words.txt\"]\n");
    for (const auto& [accepted, flagged] :
         {std::pair<const char*, const char*>{"teh", "wrold"}, {"wrold", "teh"}}) {
      WriteBytes(words_file, std::string(accepted) + "\n");
      client.CodeActions({0, 0}, {0, 0}, notes);
      EXPECT_EQ(words_of(client.AwaitDiagnostics(of(notes))), std::vector<std::string>{flagged});
    }
    // A broken one is shown, and the documents are checked without it.
    WriteBytes(config, "words = [\n");
    client.Notify("workspace/didChangeWatchedFiles", {{"changes", Json::array()}});
    const Json shown =
        client.AwaitNotification("window/showMessage", [](const Json&) { return true; });
    EXPECT_EQ(shown["type"], 1);
    EXPECT_NE(shown["message"].get<std::string>().find(".lexivane.toml:1:"), std::string::npos)
        << shown["message"];
    EXPECT_EQ(words_of(client.AwaitDiagnostics(of(notes))),
              (std::vector<std::string>{"wrold", "teh"}));
  });
}

}  // namespace
}  // namespace lexivane::frontend::lsp
