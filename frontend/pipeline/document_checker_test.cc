#include "frontend/pipeline/document_checker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "frontend/io/input_text.h"
#include "frontend/pipeline/word_list_reporter.h"
#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"
#include "tests/test_support.h"

namespace lexivane::frontend {
namespace {

using namespace std::string_literals;

using Walk = void (*)(std::u16string_view, const std::function<void(const RunningWord&)>&);

// What `list` printed when it read each text whole and walked it (or its prose, in a mode)
// in UTF-16: the reference.
std::string ListedInUtf16(SpellCheck& engine, const std::vector<std::string>& texts, bool unique,
                          Walk walk, DocumentMode mode = DocumentMode::kNone) {
  WordVerdicts verdicts(engine);
  std::unordered_set<std::u16string> printed;
  std::string out;
  for (const std::string& bytes : texts) {
    const std::u16string decoded = DecodeText(bytes);
    const std::u16string_view text = decoded;
    std::u16string prose = decoded;
    HideNonProse(prose, mode);
    walk(prose, [&](const RunningWord& word) {
      if (verdicts.Accepts(word.word)) return;
      const std::u16string_view as_written = text.substr(word.offset, word.length);
      if (unique && !printed.emplace(as_written).second) return;
      out += ToUtf8(as_written) + '\n';
    });
  }
  return out;
}

// A session with the word rules given, its document checker, and the reporter of `list`, whose
// lines gather in `out`.
struct Lister {
  explicit Lister(SpellCheck& engine, bool unique = false, WordRules rules = WordRules::None())
      : session(engine, 0, rules),
        checker(session),
        reporter(unique, [this](std::string_view lines) {
          EXPECT_TRUE(!lines.empty() && lines.back() == '\n');
          out += lines;
        }) {}
  SpellingSession session;
  DocumentChecker checker;
  WordListReporter reporter;
  std::string out;
};

// What `list` prints, each text read in pieces of `chunk_size`, at most `read_size` bytes a
// read; the word rules are off, since the reference is the engine's verdict alone.
std::string Listed(SpellCheck& engine, const std::vector<std::string>& texts, bool unique,
                   std::size_t chunk_size, std::size_t read_size) {
  Lister misspelt(engine, unique);
  for (const std::string& text : texts) {
    std::size_t at = 0;
    ChunkedInput input(
        [&](char* into, std::size_t most) {
          const std::size_t n = std::min({most, read_size, text.size() - at});
          std::memcpy(into, text.data() + at, n);
          at += n;
          return n;
        },
        chunk_size);
    misspelt.checker.CheckPieces({}, input, misspelt.reporter);
  }
  EXPECT_EQ(misspelt.checker.found(), !misspelt.out.empty());
  return misspelt.out;
}

// What `list` prints for the texts read whole, in `mode`; the word rules are off, as above. The
// texts read from files with their bytes give the same lines, and so do the texts filtered in
// place in a mode that only hides.
std::string ListedDocuments(SpellCheck& engine, const std::vector<std::string>& texts, bool unique,
                            DocumentMode mode) {
  Lister misspelt(engine, unique), from_files(engine, unique), in_place(engine, unique);
  lexivane::testing::ScratchDir dir;
  const std::string file = (dir.path() / "text").string();
  const Document document{"text", mode};
  for (const std::string& text : texts) {
    misspelt.checker.Check(document, DecodeText(text), misspelt.reporter);
    lexivane::testing::WriteBytes(file, text);
    TextWithBytes read(file);
    from_files.checker.Check(document, read, from_files.reporter);
    if (std::u16string decoded = DecodeText(text); HidesOnly(mode)) {
      in_place.checker.CheckInPlace(document, decoded, in_place.reporter);
    }
  }
  EXPECT_EQ(from_files.out, misspelt.out);
  if (HidesOnly(mode)) {
    EXPECT_EQ(in_place.out, misspelt.out);
  }
  return misspelt.out;
}

std::string Utf16Le(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

// `count` words joined by dashes into one stretch, with `tail` at its end.
// Texts made of fragments picked at random, the same for the same seed.
class RandomTexts {
 public:
  RandomTexts(unsigned seed, const std::vector<std::string>& fragments)
      : random_(seed), fragments_(fragments) {}
  std::size_t Below(std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_);
  }
  // Fewer than `most` fragments at the end of `text`.
  void Append(std::string& text, std::size_t most) {
    for (std::size_t n = Below(most); n > 0; --n) text += fragments_[Below(fragments_.size())];
  }

 private:
  std::mt19937 random_;
  const std::vector<std::string>& fragments_;
};

std::string DashedWords(int count, const std::string& tail) {
  std::string stretch;
  for (int i = 0; i < count; ++i) stretch += (i % 2 == 0 ? "teh-" : "wrold-");
  return stretch + tail;
}

class DocumentCheckerTest : public ::testing::Test {
 protected:
  DocumentCheckerTest() { engine_.Init(); }
  SpellCheck engine_;
};

// The rules count in every walk (pieces of UTF-8 or of UTF-16, a text read whole), and only
// those left on; those that look at the characters before a word (#fff, %lu, \nHelo) too; a
// word after an escape is reported without the escape's letter, one after a key letter
// (`E&xit`) passes when the two make a word, a word in capitals when it is no likely typo
// (`LINEPTR`, not `RECIEVE`), and a name with `_` inside by
// the parts that are no words.
TEST_F(DocumentCheckerTest, WordsTheRulesAcceptAreNotListed) {
  const std::string text =
      "GPLv3 _ssh ABIs xiv distro deadbeefcafe #fff %-zx \\nHelo \\nHello detect_data_type "
      "wrold_data teh E&xit (a)ccept E&xti LINEPTR RECIEVE";
  const std::string utf16 = Utf16Le(FromUtf8(text));
  const struct {
    WordRules rules;
    const char* listed;
  } cases[] = {
      {WordRules::All(), "Helo\nwrold\nteh\nxti\nRECIEVE\n"},
      {WordRules::All().Without(WordRule::kRoman).Without(WordRule::kExtraWords),
       "xiv\ndistro\nHelo\nwrold\nteh\nxti\nRECIEVE\n"},
      {WordRules::All().Without(WordRule::kKeyLetters).Without(WordRule::kCapitalNames),
       "Helo\nwrold\nteh\nxit\nccept\nxti\nLINEPTR\nRECIEVE\n"},
      {WordRules::All()
           .Without(WordRule::kHex)
           .Without(WordRule::kFormats)
           .Without(WordRule::kEscapes),
       "deadbeefcafe\nfff\nzx\nnHelo\nnHello\nwrold\nteh\nxti\nRECIEVE\n"},
      {WordRules::None(),
       "GPLv3\n_ssh\nABIs\nxiv\ndistro\ndeadbeefcafe\nfff\nzx\nnHelo\nnHello\ndetect_data_"
       "type\nwrold_data\nteh\nxit\nccept\nxti\nLINEPTR\nRECIEVE\n"},
  };
  for (const auto& c : cases) {
    for (const std::string& bytes : {text, utf16}) {
      Lister misspelt(engine_, false, c.rules);
      ChunkedInput input([&, at = std::size_t{0}](char* into, std::size_t most) mutable {
        const std::size_t n = std::min(most, bytes.size() - at);
        std::memcpy(into, bytes.data() + at, n);
        at += n;
        return n;
      });
      misspelt.checker.CheckPieces({}, input, misspelt.reporter);
      EXPECT_EQ(misspelt.out, c.listed) << c.listed;
    }
    Lister whole(engine_, false, c.rules);
    whole.checker.Check(Document{"text"}, FromUtf8(text), whole.reporter);
    EXPECT_EQ(whole.out, c.listed) << c.listed;
  }
}

// A TeX document's prose may name the commands, environments and packages its markup uses
// (markup_names.h); those names pass in it alone, not in the next document.
TEST_F(DocumentCheckerTest, TexDocumentsMayNameTheirOwnMarkup) {
  const std::u16string tex =
      u"\\usepackage{amsmath} Load amsmath for \\begin{pmatrix}1\\end{pmatrix}: Pmatrix "
      u"and pmatrix, or \\cn{dotsb} for $\\dotsb$; not bmatrix, nor pmatirx.";
  Lister listed(engine_, false, WordRules::All());
  listed.checker.Check(Document{"a.tex", DocumentMode::kTex}, tex, listed.reporter);
  EXPECT_EQ(listed.out, "bmatrix\npmatirx\n");
  listed.out.clear();
  listed.checker.Check(Document{"a.md", DocumentMode::kMarkdown}, u"amsmath and pmatrix",
                       listed.reporter);
  EXPECT_EQ(listed.out, "amsmath\npmatrix\n");
}

// In identifiers, a word that is no likely typo is the code's vocabulary (unlikely-typos), and
// under any rules a run of words that is no sure typo (`filedir`, not `foramt`): only the slips
// of common words are reported there, while comments and strings keep every word (`putpose`
// is `put` and `pose`); any English variant's spelling passes in identifiers alone, and a word
// shaped as a slip (`ksip`: `skip` with two letters swapped) is reported whatever it costs; C's
// count of a thing passes (`nfields`), not the slip that doubles a first `n` (`nneeded`) nor a
// sure typo (`ndoes`). Whole
// texts and texts filtered in place tell identifiers apart alike.
TEST_F(DocumentCheckerTest, IdentifiersReportTheirLikelyTyposAlone) {
  const std::u16string code =
      u"/* a ctx lenght putpose colour */ int zalloc_ctx = get_lenght(rpc_funciton, \"a ctx\", "
      u"Comparator, foramt_filedir, set_colour, nxt_hdr, ksip_count, nfields, nneeded, ndoes);";
  const struct {
    WordRules rules;
    const char* listed;
  } cases[] = {
      // Programming words and the vocabulary of identifiers (`nxt`, `hdr`) pass too.
      {WordRules::All(),
       "lenght\nputpose\ncolour\nlenght\nfunciton\nforamt\nksip\nnneeded\nndoes\n"},
      {WordRules::All().Without(WordRule::kCodeWords),
       "ctx\nlenght\nputpose\ncolour\nlenght\nfunciton\nctx\nforamt\nnxt\nksip\nnneeded\nndoes\n"},
      {WordRules::All().Without(WordRule::kCodeWords).Without(WordRule::kUnlikelyTypos),
       "ctx\nlenght\nputpose\ncolour\nzalloc\nctx\nlenght\nrpc\nfunciton\nctx\nComparator\n"
       "foramt\nnxt\nhdr\nksip\nnneeded\nndoes\n"},
  };
  const Document document{"a.c", DocumentMode::kCFamily, CodeIdentifiers::kChecked};
  for (const auto& c : cases) {
    Lister copied(engine_, false, c.rules);
    copied.checker.Check(document, code, copied.reporter);
    EXPECT_EQ(copied.out, c.listed);
    Lister in_place(engine_, false, c.rules);
    std::u16string text = code;
    in_place.checker.CheckInPlace(document, text, in_place.reporter);
    EXPECT_EQ(in_place.out, c.listed);
  }
}

// The prefix of a family of names passes in identifiers when three or more distinct names of
// the text begin with it and its `_` (after `_` alone), under the rule name-prefixes; not two
// names, not a part inside a name, nor a prefix shaped as a slip (`RAED`, `read` swapped).
TEST_F(DocumentCheckerTest, PrefixesOfFamiliesOfNamesPassInIdentifiers) {
  const struct {
    const char* code;
    const char* listed;
    const char* listed_without_rule;
  } cases[] = {
      {"f(KEYC_F1, KEYC_F2, _KEYC_PASTE_START, KEYC_F1);", "", "KEYC\nKEYC\nKEYC\nKEYC\n"},
      {"f(KEYC_F1, KEYC_F2, KEYC_F1);", "KEYC\nKEYC\nKEYC\n", "KEYC\nKEYC\nKEYC\n"},
      {"f(KEYC_F1, KEYC_F2, KEYC_F3, x_KEYC_F4);", "KEYC\n", "KEYC\nKEYC\nKEYC\nKEYC\n"},
      {"f(RAED_A, RAED_B, RAED_C);", "RAED\nRAED\nRAED\n", "RAED\nRAED\nRAED\n"},
  };
  const Document document{"a.c", DocumentMode::kCFamily, CodeIdentifiers::kChecked};
  for (const auto& c : cases) {
    for (const bool rule : {true, false}) {
      Lister listed(engine_, false,
                    rule ? WordRules::All() : WordRules::All().Without(WordRule::kNamePrefixes));
      listed.checker.Check(document, FromUtf8(c.code), listed.reporter);
      EXPECT_EQ(listed.out, rule ? c.listed : c.listed_without_rule) << c.code;
    }
  }
}

// In a document of code, the lists of programming words that its mode chooses accept what the
// verdicts reject, a part of a name too (`ptrBuf`, and of a run of words: `pathlen`),
// Capitalised too, and documents of prose the
// general list; a misspelling and another language's names are still listed, and with the rule
// off all of them.
TEST_F(DocumentCheckerTest, CodeWordsOfTheModeAreNotListed) {
  const struct {
    DocumentMode mode;
    const char* text;
    const char* listed;
    const char* listed_without_rule;
  } cases[] = {
      {DocumentMode::kCFamily,
       "// the mmap ctx, recieve\nint f(char *ptrBuf, int idx) { strrchr(s); pushd(); "
       "return Ctx + pathlen; }",
       "recieve\npushd\n", "mmap\nctx\nrecieve\nptr\nBuf\nidx\nstrrchr\npushd\nCtx\npathlen\n"},
      {DocumentMode::kHtml, "<p>the onclick handler and cellpadding, not the pushd or recieve</p>",
       "pushd\nrecieve\n", "onclick\ncellpadding\npushd\nrecieve\n"},
      {DocumentMode::kMarkdown, "the ctx and mmap, not pushd", "pushd\n", "ctx\nmmap\npushd\n"},
  };
  for (const auto& c : cases) {
    for (const bool rule : {true, false}) {
      Lister misspelt(
          engine_, false,
          rule ? WordRules::All().Without(WordRule::kUnlikelyTypos)
               : WordRules::All().Without(WordRule::kCodeWords).Without(WordRule::kUnlikelyTypos));
      const Document document{"code", c.mode, CodeIdentifiersIn(c.mode, true)};
      misspelt.checker.Check(document, FromUtf8(c.text), misspelt.reporter);
      EXPECT_EQ(misspelt.out, rule ? c.listed : c.listed_without_rule) << c.text;
    }
  }
}

TEST_F(DocumentCheckerTest, PrintsWhatTheUtf16WalkPrints) {
  const struct {
    std::vector<std::string> texts;
    bool unique;
  } cases[] = {
      {{""}, false},
      {{"the teh wrold, recieve"}, false},
      {{"don't dont'x students' 'tis rock'n'roll a''b teh'"}, false},
      {{"wouldn\u2019t teh\u2019s teh's \u2019wrold\u2019"}, false},
      // Combining marks after a blank, one of them alphabetic, and after a line break.
      {{"a \xCC\x81teh e\xCC\x81tre \xCC\x81", "x \xCD\x85wrold\n\xCC\x81teh"}, false},
      // Broken UTF-8: a lone continuation byte, a cut sequence, bytes never valid, an encoded
      // surrogate, an overlong form, and a sequence cut by the end of the text.
      {{"caf\xC3 wr\x80old teh\xFF\xFEx \xED\xA0\x80"
        "abc \xC0\xAFqq \xE2\x80teh \xF0\x9F\x98"},
       false},
      {{"teh\0wrold\0\0x \0"s}, false},
      {{"teh\r\nwrold\r\n\r\nrecieve"}, false},
      {{"na\xC3\xAFve cafe\xCC\x81 teh\xE2\x80\x94wrold \xE6\x9D\xB1\xE4\xBA\xAC "
        "\xF0\x9F\x98\x80teh"},
       false},
      // Byte order marks: UTF-8 (dropped, even before a combining mark), UTF-16 and UTF-32
      // in both orders, an odd byte at the end, a mark alone, and one inside the text.
      {{"\xEF\xBB\xBFteh wrold", "\xEF\xBB\xBF\xCC\x81teh", "\xEF\xBB\xBF",
        "teh \xEF\xBB\xBFwrold"},
       false},
      {{Utf16Le(u"teh wrold\u2019s the"), "\xFE\xFF\0t\0e\0h\0 \0x"s,
        "\xFF\xFE\0\0t\0\0\0e\0\0\0h\0\0\0"s, "\0\0\xFE\xFF\0\0\0w\0\0\0r\0\0\0o"s,
        Utf16Le(u"teh") + "x"},
       false},
      // More words in one stretch than are held back before its end is known.
      {{DashedWords(200, "x y"), DashedWords(200, "\xC3\xA9 y"),
        "a " + DashedWords(64, "\xE2\x80\x99s")},
       false},
      {{"teh wrold teh", "wrold Teh teh\u2019s teh's", "teh"}, true},
      {{Utf16Le(u"wrold teh"), "teh wrold recieve", "\xEF\xBB\xBFrecieve"}, true},
      // Interpreter lines, longer than a piece, after a byte order mark, and not one.
      {{"#!/usr/bin/env teh wrold\nrecieve", "#! /bin/teh", "\xEF\xBB\xBF#!/teh\r\nwrold",
        Utf16Le(u"#!/bin/teh\nwrold"), "#!teh\nwrold", " #!/teh", "x\n#!/teh"},
       false},
  };
  for (const auto& c : cases) {
    std::string context;
    for (const std::string& text : c.texts) context += "[" + text + "] ";
    const std::string expected = ListedInUtf16(engine_, c.texts, c.unique, ForEachRunningWord);
    EXPECT_EQ(ListedInUtf16(engine_, c.texts, c.unique, ForEachRunningWordByIcu), expected)
        << context;
    EXPECT_EQ(ListedDocuments(engine_, c.texts, c.unique, DocumentMode::kNone), expected)
        << context;
    for (const std::size_t chunk_size : {1, 2, 3, 7, 1 << 20}) {
      for (const std::size_t read_size : {1, 5, 1 << 20}) {
        EXPECT_EQ(Listed(engine_, c.texts, c.unique, chunk_size, read_size), expected)
            << context << "chunk " << chunk_size << " read " << read_size;
      }
    }
  }
}

// Lines of 10 MB without a blank, in ASCII and not, are cut where no word runs across (a mark
// before a combining mark included), far past the largest piece.
TEST_F(DocumentCheckerTest, LongLinesWithoutBlanks) {
  std::string ascii, mixed;
  while (ascii.size() < 10'000'000) ascii += "teh-wrold'x/recieve.the_";
  while (mixed.size() < 10'000'000) mixed += "teh\xE2\x80\x94wr\xC3\xB6ld.\xCC\x81-\xCC\x85x";
  for (const std::string& text : {ascii, mixed, "a " + mixed + " teh"}) {
    const std::string expected = ListedInUtf16(engine_, {text}, false, ForEachRunningWord);
    EXPECT_TRUE(Listed(engine_, {text}, false, ChunkedInput::kDefaultChunkSize, 1 << 16) ==
                expected);
  }
}

// Seeded mixtures of the pieces that the two walks treat apart, cut into pieces and reads of
// every size.
TEST_F(DocumentCheckerTest, AgreesWithTheUtf16WalkOnGeneratedText) {
  const std::vector<std::string> fragments = {"a",
                                              "Z",
                                              "q",
                                              "teh",
                                              "wrold",
                                              "the",
                                              "0",
                                              "9",
                                              "1",
                                              "st",
                                              "ND",
                                              "rd",
                                              "th",
                                              "_",
                                              "'",
                                              ".",
                                              ":",
                                              "-",
                                              "/",
                                              "^",
                                              "\"",
                                              "#",
                                              "(",
                                              "@",
                                              "+",
                                              "~",
                                              "\x01",
                                              "\x7F",
                                              " ",
                                              "\n",
                                              "\t",
                                              "\r\n",
                                              "\0"s,
                                              "\xC3\xA9",
                                              "\xE2\x80\x99",
                                              "\xE2\x80\x9C",
                                              "\xE2\x80\x94",
                                              "\xCC\x81",
                                              "\xCD\x85",
                                              "\xC2\xAD",
                                              "\xE6\x9D\xB1",
                                              "\xF0\x9F\x98\x80",
                                              "\x80",
                                              "\xC3",
                                              "\xE2\x80",
                                              "\xFF",
                                              "\xED\xA0\x80",
                                              "\xEF\xBB\xBF"};
  RandomTexts random(20261206, fragments);
  const auto below = [&](std::size_t n) { return random.Below(n); };
  for (int round = 0; round < 10000; ++round) {
    std::vector<std::string> texts(1 + below(3));
    for (std::string& text : texts) {
      if (below(20) == 0) text = below(2) == 0 ? "\xFF\xFE" : "\xEF\xBB\xBF";
      random.Append(text, 60);
    }
    const bool unique = below(2) == 0;
    const std::size_t chunk_size = below(4) == 0 ? std::size_t{1} << 20 : 1 + below(9);
    const std::size_t read_size = below(4) == 0 ? std::size_t{1} << 20 : 1 + below(16);
    const std::string expected = ListedInUtf16(engine_, texts, unique, ForEachRunningWord);
    ASSERT_EQ(Listed(engine_, texts, unique, chunk_size, read_size), expected)
        << "round " << round << " chunk " << chunk_size << " read " << read_size;
    ASSERT_EQ(ListedDocuments(engine_, texts, unique, DocumentMode::kNone), expected)
        << "round " << round;
    for (const std::string& text : texts) {
      if (!text.starts_with("\xFF") && !text.starts_with("\xEF\xBB\xBF")) {
        ASSERT_EQ(DecodeText(text), FromUtf8(text)) << "round " << round;
      }
    }
  }
}

// Prose rewritten under a word: the word checked is the prose's, the word printed the text's.
TEST_F(DocumentCheckerTest, ProsePrintsWordsAsTheyStandInTheText) {
  const struct {
    std::u16string text, prose;
    std::string printed;
  } cases[] = {
      {u"wrold the", u"wrodl the", "wrold\n"},
      {u"teh wrold", u"the wrold", "wrold\n"},
      {u"<i>teh</i>", u"   teh    ", "teh\n"},
      {u"caf&eacute; tehh", u"caf\u00E9\u2060\u2060\u2060\u2060\u2060\u2060\u2060 tehh", "tehh\n"},
      {u"&eacute;teh", u"\u00E9\u2060\u2060\u2060\u2060\u2060\u2060\u2060teh", "&eacute;teh\n"},
  };
  for (const auto& c : cases) {
    ASSERT_EQ(c.text.size(), c.prose.size());
    Lister misspelt(engine_);
    misspelt.checker.CheckProse({}, c.text, c.prose, misspelt.reporter);
    EXPECT_EQ(misspelt.out, c.printed) << ToUtf8(c.text);
  }
}

// Documents in every mode, made of markup, entities and escapes that the filters blank or
// rewrite under a word: what is printed stands as written, however the prose was walked.
TEST_F(DocumentCheckerTest, DocumentsPrintWhatTheUtf16WalkPrints) {
  const std::vector<std::string> fragments = {"teh",
                                              "wrold",
                                              "the",
                                              " ",
                                              "\n",
                                              "<b>",
                                              "</b>",
                                              "<a href=\"x\">",
                                              "&amp;",
                                              "&eacute;",
                                              "&#97;",
                                              "&rsquo;",
                                              "`",
                                              "```\n",
                                              "# ",
                                              "\\emph{",
                                              "}",
                                              "$",
                                              "%",
                                              "\n.TH ",
                                              "\\fB",
                                              "\\-",
                                              "\\'e",
                                              "/* ",
                                              " */",
                                              "// ",
                                              "\"",
                                              "'",
                                              "http://teh.org/wrold ",
                                              "[",
                                              "](",
                                              ")",
                                              "\xC3\xA9",
                                              "\xE2\x80\x99",
                                              "x_y"};
  RandomTexts random(6122026, fragments);
  const auto below = [&](std::size_t n) { return random.Below(n); };
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> texts(1 + below(2));
    for (std::string& text : texts) random.Append(text, 40);
    const bool unique = below(2) == 0;
    const ModeName& mode = ModeNames()[below(ModeNames().size())];
    ASSERT_EQ(ListedDocuments(engine_, texts, unique, mode.mode),
              ListedInUtf16(engine_, texts, unique, ForEachRunningWordByIcu, mode.mode))
        << "round " << round << " mode " << mode.name;
  }
}

// Directives, with each prefix and in each family of modes, read from the text as written
// (a comment the mode hides included); whole texts and texts read in pieces agree.
TEST_F(DocumentCheckerTest, DirectivesLeaveWordsAndLinesUnchecked) {
  using enum DocumentMode;
  const struct {
    DocumentMode mode;
    std::string text;
    std::string listed;
  } cases[] = {
      // Words for the whole text, before or after the directive, in any letter case; the
      // directive's own words are never checked.
      {kNone, "teh wrold recieve\nlexivane: ignore Teh, WROLD\nteh", "recieve\n"},
      {kNone, "cspell:words teh\nspellchecker: ignore wrold\nteh wrold", ""},
      {kNone, "cSpell:ignore teh\nSPELL-CHECKER:words wrold\nteh wrold", ""},
      {kMarkdown, "<!-- lexivane: ignore teh -->\n\nteh wrold", "wrold\n"},
      {kMarkdown, "<!-- cspell:words teh wrold-->\nteh wrold", ""},
      {kHtml, "<p>teh wrold</p><!--spellchecker:ignore wrold-->", "teh\n"},
      {kCFamily, "int teh; /* cspell:ignore teh*/ // teh wrold", "wrold\n"},
      {kPython, "# lexivane: words naïvx\nx = 'naïvx teh'", "teh\n"},
      // Lines: this one, the next (also past a CR LF or a lone CR), none after the last.
      {kNone, "teh wrold lexivane: disable-line\nrecieve", "recieve\n"},
      {kNone, "teh\ncspell:disable-next-line\nwrold naïvx\nrecieve", "teh\nrecieve\n"},
      {kNone, "spellchecker:disable-next-line\r\nteh\r\nwrold\r\n", "wrold\n"},
      {kNone, "lexivane: disable-next-line\rteh\rwrold", "wrold\n"},
      {kNone, "teh lexivane: disable-next-line", "teh\n"},
      {kNone, "teh\ncspell:disable-next-line\n", "teh\n"},
      {kShell, "echo teh # cspell:disable-line\n# wrold", "wrold\n"},
      {kHashComments, "# teh\n# spellchecker:disable-next-line\n# wrold\n", "teh\n"},
      {kMarkdown, "<!-- cspell:disable-next-line -->\nteh\n\nwrold", "wrold\n"},
      // Ranges, to the end when nothing enables again.
      {kNone, "teh\nlexivane: disable\nwrold\nrecieve\nlexivane: enable\nteh", "teh\nteh\n"},
      {kNone, "teh\ncspell:disable\nwrold\ncspell:disable\nrecieve", "teh\n"},
      {kNone, "teh\nspellchecker:enable\nwrold", "teh\nwrold\n"},
      {kCFamily, "/* cspell:disable */\n// teh\n/* cspell:enable */\n// wrold", "wrold\n"},
      {kMarkdown, "teh\n<!-- lexivane: disable -->\nwrold\n<!-- lexivane: enable -->\nrecieve",
       "teh\nrecieve\n"},
      // codespell's own: alone, its line; with words, those on its line only.
      {kNone, "teh wrold codespell:ignore\nteh", "teh\n"},
      {kPython, "# teh wrold  # codespell:ignore teh,recieve\n# teh", "wrold\nteh\n"},
      {kCFamily, "// teh codespell:ignore teh\r\n// teh", "teh\n"},
      {kNone, "codespell:disable-next-line\nteh", "codespell\nteh\n"},
      // Not directives: a longer name, a prefix in upper case, an unknown command.
      {kNone, "xcspell:ignore teh\nteh", "xcspell\nteh\nteh\n"},
      {kNone, "LEXIVANE: ignore teh\nteh", "LEXIVANE\nteh\nteh\n"},
      {kNone, "cspell:ignoreteh teh", "cspell\nignoreteh\nteh\n"},
  };
  for (const auto& c : cases) {
    const std::string name = std::string(NameOf(c.mode)) + ": " + c.text;
    EXPECT_EQ(ListedDocuments(engine_, {c.text}, false, c.mode), c.listed) << name;
    if (c.mode == kNone) {
      EXPECT_EQ(Listed(engine_, {c.text}, false, std::size_t{1} << 20, std::size_t{1} << 20),
                c.listed)
          << name;
    }
  }
}

// A text read in pieces, each holding its directive whole: a range, a line to cover and a
// next line left open at a piece's end are closed in a later piece.
TEST_F(DocumentCheckerTest, DirectivesActAcrossPieces) {
  const struct {
    std::string text;
    std::string listed;
  } cases[] = {
      {"teh\nlexivane: disable\nteh teh teh wrold wrold\nlexivane: enable\nrecieve",
       "teh\nrecieve\n"},
      {"teh cspell:disable-line teh teh wrold wrold wrold\nrecieve", "recieve\n"},
      {"teh cspell:disable-next-line    \nteh teh wrold wrold wrold\nrecieve", "teh\nrecieve\n"},
      {"teh codespell:ignore wrold teh teh wrold wrold\nwrold", "teh\nteh\nteh\nwrold\n"},
  };
  for (const auto& c : cases) {
    for (const std::size_t chunk_size : {32, 36, 40}) {
      EXPECT_EQ(Listed(engine_, {c.text}, false, chunk_size, 1 << 20), c.listed)
          << c.text << " in pieces of " << chunk_size;
    }
  }
}

}  // namespace
}  // namespace lexivane::frontend
