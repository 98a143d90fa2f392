#include "frontend/modes/document_modes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(DocumentModes, TheModeComesFromTheNameGivenOrTheFilesName) {
  const struct {
    const char* file;
    DocumentMode mode;
  } files[] = {
      {"README.md", DocumentMode::kMarkdown},
      {"docs/Index.HTML", DocumentMode::kHtml},
      {"lib/libcurl.vcxproj", DocumentMode::kXml},
      {"a.b/paper.tex", DocumentMode::kTex},
      {"gzip.1", DocumentMode::kNroff},
      {"x.tar.gz", DocumentMode::kNone},
      {"main.cc", DocumentMode::kCFamily},
      {"app.tsx", DocumentMode::kCFamily},
      {"setup.py", DocumentMode::kPython},
      {"ci.yml", DocumentMode::kYaml},
      {"pyproject.toml", DocumentMode::kToml},
      {"package.json", DocumentMode::kJson},
      {"docs/CHANGES.rst", DocumentMode::kRestructuredText},
      {"GNUmakefile", DocumentMode::kHashComments},
      {"rules.mk", DocumentMode::kHashComments},
      {"CMakeLists.txt", DocumentMode::kHashComments},
      {"Dockerfile.dev", DocumentMode::kHashComments},
      {"app.dockerfile", DocumentMode::kHashComments},
      {"configure.ac", DocumentMode::kM4},
      {"m4/ax_check.m4", DocumentMode::kM4},
      {"setup.cfg", DocumentMode::kIni},
      {"nginx.conf", DocumentMode::kIni},
      {"bin/install.sh", DocumentMode::kShell},
      {"env.ZSH", DocumentMode::kShell},
      {"src/Makefile", DocumentMode::kHashComments},
      {"Makefile.am", DocumentMode::kHashComments},
      {"scripts/Kbuild", DocumentMode::kHashComments},
      {"arch/arm/configs/multi_v7_defconfig", DocumentMode::kHashComments},
      {"init/Kconfig", DocumentMode::kKconfig},
      {"lib/Kconfig.debug", DocumentMode::kKconfig},
      {"arch/x86/boot/dts/board.dtsi", DocumentMode::kCFamily},
      {"arch/x86/entry/entry_64.S", DocumentMode::kCFamily},
      {"notes.txt", DocumentMode::kNone},
      {".bashrc", DocumentMode::kNone},
      {"-", DocumentMode::kNone},
      {"dir.md/file", DocumentMode::kNone},
  };
  for (const auto& f : files) EXPECT_EQ(ModeForFile(f.file), f.mode) << f.file;
  for (const ModeName& known : ModeNames()) {
    EXPECT_EQ(ModeNamed(known.name), known.mode);
    EXPECT_EQ(ModeNamed(NameOf(known.mode)), known.mode);
  }
  EXPECT_EQ(ModeNamed("Markdown"), std::nullopt);
}

// A script without an extension is known by the interpreter its first line names, or else by
// the editor's mode line there; its name wins when it says something.
TEST(DocumentModes, AFileWithoutAKnownNameTakesTheModeOfItsInterpreter) {
  const struct {
    const char* file;
    const char* first_line;
    DocumentMode mode;
  } files[] = {
      {"bin/build", "#!/bin/sh", DocumentMode::kShell},
      {"run", "#! /usr/bin/env -S bash -e", DocumentMode::kShell},
      {"tool", "#!/usr/bin/env LANG=C python3.12\r", DocumentMode::kPython},
      {"x", "#!/usr/bin/perl -w", DocumentMode::kHashComments},
      {"x", "#!/usr/local/bin/node", DocumentMode::kCFamily},
      {"x", "#!/usr/bin/awk -f", DocumentMode::kNone},
      {"x", "#!/usr/bin/env", DocumentMode::kNone},
      {"x", "# not an interpreter line", DocumentMode::kNone},
      {"x.md", "#!/bin/sh", DocumentMode::kMarkdown},
      {"perlcritic", "# perlcritic(1) completion        -*- shell-script -*-",
       DocumentMode::kShell},
      {"x", "/* -*- Mode: C++; indent-tabs-mode: nil -*- */", DocumentMode::kCFamily},
      {"x", "# -*- coding: utf-8; mode: python-ts -*-", DocumentMode::kPython},
      {"x", "%% -*-LaTeX-*-", DocumentMode::kTex},
      {"x", "-*- text -*-", DocumentMode::kNone},
      {"x", "-*- mode: python", DocumentMode::kNone},
      {"x", "#!/bin/sh -*- python -*-", DocumentMode::kShell},
      {"x", "# vim: set ft=sh ts=4:", DocumentMode::kShell},
      {"x", "# vi: filetype=yaml", DocumentMode::kYaml},
      {"x", "the tuple ex: (1, 2)", DocumentMode::kNone},
      {"x", "# vim:ts=4", DocumentMode::kNone},
  };
  for (const auto& f : files) EXPECT_EQ(ModeForFile(f.file, f.first_line), f.mode) << f.first_line;
}

// Whatever the input, a filter keeps the text's length and its line breaks, and changes a code
// unit only into a blank, or into the character a sequence stood for followed by word joiners;
// a mode that only hides (HidesOnly) changes it into a blank alone.
TEST(DocumentModes, EveryFilterKeepsTheTextsLengthAndLines) {
  const std::u16string alphabet =
      u"ab Z09_.,;:!?-/\\\"'`*#$%&@~^=+|<>()[]{}\n\r\t\u00e9\u2019\U0001F600&;\\fB<!--*/";
  std::mt19937 random(19);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 60);
  for (const ModeName& known : ModeNames()) {
    for (int i = 0; i < 3000; ++i) {
      std::u16string text;
      for (int n = length(random); n > 0; --n) text += alphabet[pick(random)];
      std::u16string filtered = text;
      HideNonProse(filtered, known.mode);
      ASSERT_EQ(filtered.size(), text.size()) << known.name << ": " << ToUtf8(text);
      for (std::size_t at = 0; at < text.size(); ++at) {
        if (filtered[at] == text[at]) continue;
        const bool line_break = text[at] == u'\n' || text[at] == u'\r';
        const bool allowed =
            filtered[at] == u' ' ||
            (!HidesOnly(known.mode) && (filtered[at] == kWordJoiner ||
                                        (at + 1 < text.size() && filtered[at + 1] == kWordJoiner)));
        ASSERT_TRUE(allowed && !line_break)
            << known.name << ": unit " << at << " of " << ToUtf8(text) << " became "
            << static_cast<int>(filtered[at]);
      }
    }
  }
}

// A script's interpreter line is hidden whatever the mode, a correction of it being fatal; a
// line that only looks like one stays.
TEST(DocumentModes, EveryModeHidesAnInterpreterLine) {
  const struct {
    std::u16string text;
    std::u16string first_line;  // as every mode leaves it
  } cases[] = {
      {u"#!/usr/bin/env python3\n", u"                      "},
      {u"#! /bin/sh -e\r\n", u"             \r"},
      {u"#!/bin/sh", u"         "},
  };
  for (const ModeName& known : ModeNames()) {
    for (const auto& c : cases) {
      std::u16string text = c.text + u"teh";
      EXPECT_TRUE(HidesAnythingIn(known.mode, text));
      HideNonProse(text, known.mode);
      EXPECT_EQ(ToUtf8(text.substr(0, c.first_line.size())), ToUtf8(c.first_line)) << known.name;
    }
  }
  for (const std::u16string_view text : {u"#!teh", u" #!/teh", u"teh\n#!/teh", u"#"}) {
    EXPECT_FALSE(HidesAnythingIn(DocumentMode::kNone, text)) << ToUtf8(text);
  }
}

TEST(DocumentModes, WordsRunAcrossWordJoinersWhichTheCheckedWordLeavesOut) {
  // "caf&eacute;s na&iuml;ve &rsquo;quoted&rsquo;" as the HTML filter leaves it.
  const std::u16string text =
      u"caf\u00e9\u2060\u2060\u2060s na\u00ef\u2060ve "
      u"\u2019\u2060\u2060\u2060\u2060\u2060\u2060quoted\u2019\u2060\u2060\u2060\u2060\u2060\u2060"
      u".";
  std::vector<RunningWord> words;
  ForEachRunningWord(text, [&](const RunningWord& word) { words.push_back(word); });
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0].word, u"caf\u00e9s");
  EXPECT_EQ(words[0].length, 8u);
  EXPECT_EQ(words[1].word, u"na\u00efve");
  EXPECT_EQ(words[1].offset, 9u);
  EXPECT_EQ(words[2].word, u"quoted");
  EXPECT_EQ(words[2].offset, 23u);
  EXPECT_EQ(words[2].length, 6u);
}

}  // namespace
}  // namespace lexivane::frontend
