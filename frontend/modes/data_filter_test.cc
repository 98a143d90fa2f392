#include <gtest/gtest.h>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"

namespace lexivane::frontend {
namespace {

TEST(DataFilter, YamlKeepsCommentsAndProseValues) {
  Expect(
      KeepYamlProse,
      {
          {"name: lexivane\ndescription: A fast checker # the summary",
           "A fast checker the summary"},
          {"version: 1.2\nenabled: true\ntitle: Welcome", "Welcome"},
          {"- label: \"Save the file\"\n- 'utf-8'\n- plain words here",
           "Save the file plain words here"},
          {"\"quoted key\": value here\n'other key': x", "value here"},
          {"notes: |\n  First line of prose.\n  Second one.\nnext: a",
           "First line of prose Second one"},
          {"folded: >-\n  text\n\n  goes on\nkey: b # end", "text goes on end"},
          {"- |\n  item block\n- other", "item block"},
          {"run: |\n  make check\n  ./configure --prefix=x\nafter: done now", "done now"},
          {"script:\n  - make all here\n  - cd build\nname: Build the docs", "Build the docs"},
          {"base: &anchor\n  a: one two\nuse: *alias\ntag: !!str some text", "one two some text"},
          {"list: [one two, \"three four\"]\nmap: {a: b c,\n  d: e f}\nnext: g h", "g h"},
          {"---\n%YAML 1.2\n--- # doc\nurl: https://example.org/a b\n...", "doc b"},
          {"msg: \"over\n  two lines\" # note\nkey: x", "over two lines note"},
          {"path: a#b # real\nkey: not#comment", "real"},
          {"unclosed: \"never ends\nkey: v", "never ends key v"},
          {"a: b c\r\nd: |\r\n  text here\r\n  # not a comment\r\ne: f",
           "b c text here not a comment"},
          {"outer:\n  - inner: |\n      deep text\n  - next item", "deep text next item"},
      });
}

TEST(DataFilter, TomlAndJsonKeepStringValuesButNotKeys) {
  Expect(KeepTomlProse,
         {
             {"[package]\nname = \"lexivane\"\ndescription = \"A spell checker\" # note",
              "A spell checker note"},
             {"[\"a b\".c]\n\"quoted key\" = 'literal text here'\nsite.\"dotted key\" = 1",
              "literal text here"},
             {"doc = \"\"\"\nMany lines\nof text\"\"\"\nraw = '''one\ntwo'''",
              "Many lines of text one two"},
             {"list = [\n  \"first item\",\n  [\"nested value\"],\n]\n[[bin]]\nx = { a = \"in "
              "table\" }",
              "first item nested value in table"},
             {"esc = \"\\tTabbed\\nLine %s done\"\nkey = \"Cancel\"", "Tabbed Line done Cancel"},
             {"a = \"# not a comment\" # but this\nb = \"unclosed", "not a comment but this"},
         });
  Expect(KeepJsonProse,
         {
             {"{\"name\": \"lexivane\", \"description\": \"A spell checker\"}", "A spell checker"},
             {"{\"key\"\n  : \"value with words\", \"n\": [1, true, \"Done\"]}",
              "value with words Done"},
             {"{\"a\": \"x\\\"y z\"} // a note\n/* block\n * comment */",
              "x y z a note block comment"},
             {"{\"url\": \"see https://example.org/a\", \"k\": \"unclosed", "see"},
         });
}

}  // namespace
}  // namespace lexivane::frontend
