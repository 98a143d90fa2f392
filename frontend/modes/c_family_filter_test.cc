#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(CFamilyFilter, CFamilyKeepsCommentsAndStringProse) {
  Expect(KeepCFamilyCommentsAndStrings,
         {
             {"int count = 0;  // the number of sheep", "the number of sheep"},
             {"/** Counts sheep.\n * @param herd_size how many\n * @return the count */",
              "Counts sheep how many the count"},
             {"/// \\brief Adds.\n/// \\param[in] lhs left side", "Adds left side"},
             {"printf(\"\\nHello %-8.2lf world %s\\n\", x);", "Hello world"},
             {"auto s = R\"xy(raw )\" text)xy\"; f();", "raw text"},
             {"let s = r#\"a \"quoted\" note\"#; let t = 'a';", "a quoted note"},
             {"fn f<'a>(x: &'a str) -> &'static str { \"Good day\" }", "Good day"},
             {"const t = `Sum of ${a + b} items`; const u = 'Bye now';", "Sum of items Bye now"},
             {"var s = @\"C# \"\"verbatim\"\" text\"; var r = \"\"\"\nRaw block\n\"\"\";",
              "C verbatim text Raw block"},
             {"#include <stdio.h>  // standard io\n#define MAX_LEN 10 /* limit */\nint x;",
              "standard io limit"},
             {"#error \"Recieve failed\"\n#pragma message(\"Recieve this\")\n#include \"a.h\"\n"
              "# warning It can't work\n#pragma GCC error \"Stop now\"\n#pragma once",
              "Recieve failed Recieve this It can't work Stop now"},
             {"x = 1'000'000; c = '\\n'; d = L'x';", ""},
             {"open(\"rb\"); getenv(\"HOME\"); label(\"Cancel\");", "Cancel"},
             // A placeholder and a blank before a word make a message, not a key.
             {"printf(\"%d fiels\\n\", n); fmt.Printf(\"%v gone\", x); println!(\"{} lost\", x);"
              " format!(\"{x} left\"); `${n} more`; f(\"%s\", \"{}\", `${HOME}`, \"%dkeys\")",
              "fiels gone lost left more"},
             {"// use `max_safe_integer` or getValue() and std::move, not p->next\n",
              "use or and not"},
             {"/// Example:\n/// ```\n/// let v = vec![1];\n/// ```\n/// Done.", "Example Done"},
             {"/** <ul><li>Lists</li></ul> <tt>plain</tt> <kbd>Ctrl</kbd> <a href=\"p.html\">"
              "link</a></p>\n * <pre>\n * int kept;\n * </pre> &lt;T&gt; */",
              "Lists link T"},
             {"/// @code\n/// let v = 1;\n/// @endcode\n/// Sum \\f$ x^2 \\f$ and \\f[ y \\f]"
              " or\n/// \\verbatim raw\n/// text \\endverbatim done, at me@code.org",
              "Sum and or done at"},
             {"// wrap in <pre> tags or ```\nint x;\n// later words", "wrap in later words"},
             {"// see https://example.org/x and /usr/include/stdio.h", "see and"},
             {"// words a.b.cc then .dotted, a long way on to obj.member x::y_z p->q Done"
              " Then a HashMap, an eTag or an ABC.",
              "words then dotted a long way on to member Done Then a an or an ABC"},
             {"fmt.Printf(\"%v items in {0} and {name}\\t\", n)", "items in and"},
             {"s = \"unterminated string\nint next_line;", "unterminated string"},
             {"/* never closed\nstill comment", "never closed still comment"},
             // Many on one line, each read to its own end.
             {"/* one */ x /* two */ y /* three `z` */ w", "one two three"},
             {"// a ``b ` c`` d ``` e ` f ` g", "a d e g"},
             {"// `h``` i` j ``b ` c`` k", "b k"},  // the rest of a closer opens
             {"c = '\\' \\' \\' x; // noted here", "noted here"},
             {"/* {@x {@y see {@link C} here */", "here"},
             // Line ends written CRLF, literals left open at the text's end, doc tags.
             {"int x; // note\r\nint y; /* two\r\n * lines */", "note two lines"},
             {"auto s = R\"d(raw text", "raw text"},
             {"let s = r#\"open note", "open note"},
             {"/* a /* b */ c */", "a b"},
             {"/** @param[in,out] buf the buffer\n * @param {string} name its name */",
              "the buffer its name"},
             {"printf(\"%5.2f%% done, %zu left\", a, b);", "done left"},
             // A backslash at a line's end joins the next line to a comment or a string.
             {"// one \\\ntwo words here\nx = \"three \\\r\nfour more\"; int code_here = other;",
              "one two words here three four more"},
             {"/* a \\\n*/ int b; // c \\\\\n", "a c"},
             // An `r` after a letter before a quote is the end of a name, never a quote.
             {"ar\"fine\" 'teh wrold'; xr#x = 'it is'", "teh wrold it is"},
         });
}

TEST(CFamilyFilter, ReadsEveryLiteralToItsEnd) {
  Expect(KeepCFamilyCommentsAndStrings,
         {
             // Raw strings: the delimiter must match, prefixes u8R, LR.
             {"R\"ab(one )a\" two)ab\" u8R\"(three more)\" LR\"x(and four)x\"",
              "one a two three more and four"},
             // C#: verbatim with doubled quotes over lines, interpolated with fields, both.
             {"@\"line one\nline \"\"two\"\"\" $\"Hi {name}, {n:D2} left\" $@\"a {x} b\"",
              "line one line two Hi left a b"},
             // Rust raw strings with more hashes, a `"#` inside that does not close.
             {"r##\"a \"# b\"## r\"plain text\" br#\"raw bytes\"#", "a b plain text raw bytes"},
             // Templates: nested templates and braces in fields, an escaped backtick.
             {"`a ${`inner ${x}`} b ${ {k: 1}.k } c \\` d`", "a b c d"},
             // Character literals: escapes, a quote, numbers with separators, lifetimes.
             {"c = '\\''; d = '\"'; e = 0x1'0; // after", "after"},
             // Strings with only keys, paths or format specifiers are not prose.
             {"f(\"%s\"); g(\"a_b\"); h(\"/tmp/x\"); k(\"en-US\");", ""},
         });
}

}  // namespace
}  // namespace lexivane::frontend
