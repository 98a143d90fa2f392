#include <gtest/gtest.h>

#include <string>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(NroffFilter, HidesMarkupAndKeepsProse) {
  ExpectWords(
      HideNroffMarkup,
      {
          // Requests and macros without text: the whole line.
          {u".TH GZIP 1 \"2020-01-01\" \"GNU\" \"User Commands\"\nword", "word"},
          {u".PP\n.RS 4n\n.sp 2\n.nr PD 0\n.ft CW\n.in +4\n.ti -2\n.br\n.RE\ntext", "text"},
          {u".so man1/foo.1\n.if n .ds Aq '\n.ie t \\{\\\n.el \\}\nok", "ok"},
          // Macros with text: the arguments are checked, name and quotes hidden.
          {u".SH \"SEE ALSO\"\n.SS Options\n.B bold words\n.I italic",
           "SEE ALSO Options bold words italic"},
          {u".BR gzip (1),\n.IR file .txt\n.RB [ \\-\\-verbose ]", "gzip file txt verbose"},
          {u".TP\n.B \\-k\nKeep the files.", "k Keep the files"},
          {u".IP \\(bu 4\nitem\n.IP 2. 4n\nnext\n.IP \"Tag word\" 8n\nbody",
           "item next Tag word body"},
          // Comments.
          {u".\\\" a comment\ntext \\\" trailing note\n'\\\" another\nmore \\# gone", "text more"},
          // Escapes never glue to words; letters and apostrophes decode.
          {u"\\fBgzip\\fR and \\fIfile\\fP, \\f(BIboth\\f[B]x\\f[]", "gzip and file both x"},
          {u"\\-\\-help \\(em dash\\(endash \\(lqquoted\\(rq \\[lq]x\\[rq]",
           "help dash dash quoted x"},
          {u"don\\(aqt can\\[aq]t won\\(cqt it\\'s", "don't can't won't it s"},
          {u"caf\\('e na\\(:ive \\[u00E9]t\\['e] Stra\\(sse \\N'233'", "café naïve été Straße é"},
          {u"\\e\\&foo \\|bar\\^ \\s+2big\\s0 \\s-1small\\s10big", "foo bar big small big"},
          {u"\\*(Lqstr\\*[name]x \\n(PDy \\n[reg]z \\n+az \\$1w", "str x y z z w"},
          {u"line\\c\nre\\%use \\%word a\\:b \\0x \\ y", "line reuse word ab x y"},
          {u"\\w'width'w \\h'1n'h \\v'-1'v \\o'ab'o \\D'l 1 1'd \\X'tty: link'x", "w h v o d x"},
          // Addresses, read through the escapes inside them.
          {u"Report bugs to https://x.org/a\\-b or \\fBme@x.org\\fR.\n"
           u".B https://\\:www\\:.x.org/\\(tiu/ now",
           "Report bugs to or now"},
          // Blocks that are not prose.
          {u".de XX\ntext in macro\n..\nafter", "after"},
          {u".ig\nignored\n..\nafter", "after"},
          {u".EQ\nx sup 2\n.EN\nafter", "after"},
          {u".EX\nint main(void);\n.EE\nafter\n.Vb 1\n\\&  $ make\n.Ve\nok", "after ok"},
          {u".TS\nallbox;\n\\fBzstd\\fR [\\fIOPTIONS\\fR]\n.TE\nafter", "zstd OPTIONS after"},
          {u".TS\ntab(;);\nl lx.\nName;T{\nA long cell\nT}\n.TE\nafter", "Name A long cell after"},
          // mdoc: macros inside the line decide what is text.
          {u".Nm gzip\n.Nd compress files\n.Sh DESCRIPTION", "gzip compress files DESCRIPTION"},
          {u".It Fl v Ar file\n.Op Fl k Ar level\n.Xr ls 1 ,\n.Pa /etc/fstab", ""},
          {u".Em Note :\n.Dq quoted words\n.Ql code_here\n.Cm add Ns No ing",
           "Note quoted words ing"},
          {u".Bd -literal -offset indent\n$ make install\n.Ed\nafter", "after"},
          // Odd input runs to the end of the line or the text.
          {u"\\", ""},
          {u"\\f", ""},
          {u"\\(a", ""},
          {u"\\[unclosed\nnext", "next"},
          {u"\\w'open\nnext", "next"},
          {u".de XX\nnever closed", ""},
          {u".\n'\n.", ""},
      },
      FilterChanges::kBlanksAndJoinedLetters);
}

TEST(NroffFilter, ReadsEachConstructToItsEdge) {
  ExpectWords(
      HideNroffMarkup,
      {
          // Control lines: blanks after the dot, the `'` form, a comment after the arguments,
          // CRLF line ends, no-fill text (still prose), an .IP without a tag.
          {u".  SH  Spaced name\n'B quoted form\n.B bold \\\" a note",
           "Spaced name quoted form bold"},
          {u".SH NAME\r\ngzip \\- compress\r\n.PP\r\n", "NAME gzip compress"},
          {u".nf\nline one\nline two\n.fi\nfilled", "line one line two filled"},
          {u".IP\nbody \\\"\n.IP \"\"\nmore", "body more"},
          // Escapes: sizes in each form, named and numbered characters, a backslash at a
          // line's end, marks that print nothing between words and inside one.
          {u"\\s'+2'a \\s(12b \\s[+2]c \\s+(10d \\s-e \\s3f \\s36g", "a b c d e f g"},
          {u"\\[:u]ber \\[char233]t\\(,c \\C'u00E9't\\[u00f6] \\N'65'x \\[u1F600]y",
           "\u00fcber \u00e9t\u00e7 \u00e9t Ax y"},
          {u"one\\\ntwo \\eword\\(emdash a\\&b end\\& more", "one two word dash ab end more"},
          {u"\\*[name arg]x \\n[a]y \\k[pos]z \\gab \\Y[m]w \\V[v]v", "x y z b w v"},
          // Blocks: a macro appended to, an ignored block with its own end, eqn, a table
          // without a format, one whose format goes on over lines, and .T& between formats.
          {u".am XX\ntext\n..\n.ig\nhidden\n..\nafter", "after"},
          {u".TS\nplain cell words\n.TE\nafter", "plain cell words after"},
          {u".TS\nl l\nl l.\na\tb\n.T&\nc s.\nwide\n.TE", "a b wide"},
          {u".TS\ncenter;\nl.\nT{\ncell\nT} T{ next T}\n.TE", "cell next"},
          {u".TS\nl.\nnever closed", "never closed"},
          {u".EQ\nnever closed", ""},
          // mdoc: a non-literal display is prose, each macro switches what follows on its line.
          {u".Bd -ragged\nplain words\n.Ed\n.It Sy Bold Ar file No text", "plain words Bold text"},
          {u".Op Fl a Ar b Ns No c \"quoted words\"", "c quoted words"},
      },
      FilterChanges::kBlanksAndJoinedLetters);
}

// Random mixes of the characters the format treats specially keep the contract and end.
TEST(NroffFilter, KeepsTheContractOnAnyInput) {
  ExpectContractOnRandomText(HideNroffMarkup, u"\\{}[]$%()'\"`~-&.*@#|^ \n\rabcfsinTEBIP12(",
                             FilterChanges::kBlanksAndJoinedLetters);
}

}  // namespace
}  // namespace lexivane::frontend
