#include <gtest/gtest.h>

#include <random>
#include <string>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/words/running_words.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

using Filter = void (*)(std::u16string&);

// The filter held to its contract: the same length, LF and CR where they were and nowhere
// else, and every other change a blank, a word joiner, or a letter opening a decoded sequence.
void ExpectContract(const std::u16string& original, const std::u16string& text) {
  ASSERT_EQ(text.size(), original.size()) << ToUtf8(original);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool line_end = original[i] == u'\n' || original[i] == u'\r';
    if (line_end || text[i] == u'\n' || text[i] == u'\r') {
      ASSERT_EQ(text[i], original[i]) << "at " << i << " of " << ToUtf8(original);
    } else if (text[i] != original[i] && text[i] != u' ' && text[i] != kWordJoiner) {
      ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == kWordJoiner)
          << "at " << i << " of " << ToUtf8(original);
    }
  }
}

// The words left to check, space-separated.
std::string WordsLeft(Filter filter, const std::u16string& original) {
  std::u16string text = original;
  filter(text);
  ExpectContract(original, text);
  return JoinedRunningWords(text);
}

struct Case {
  std::u16string text;
  std::string words;
};

TEST(TexFilter, HidesMarkupAndKeepsProse) {
  const Case cases[] = {
      // Commands, and text arguments by default.
      {u"\\section{Related work} see \\emph{this}", "Related work see this"},
      {u"\\textbf{bold}\\footnote{note} \\item[Label] text", "bold note Label text"},
      {u"\\noindent\\hfill\\newpage word", "word"},
      {u"\\@startsection and \\makeatletter", "and"},
      {u"50\\% of \\& \\$5 \\#1 a\\_b \\\\[2pt] next", "of a_b next"},
      {u"\\hsize=10in \\parskip 5pt plus 1pt\\font\\big=cmbx10 scaled 2 \\bf Title",
       "scaled Title"},
      // Arguments that are names, keys, files, lengths, definitions.
      {u"see \\ref{sec:intro}, \\eqref{eq:mass} and \\pageref{fig:plot}", "see and"},
      {u"as \\citet{knuth84} and \\citep[see][p.~5]{lamport94} said", "as and said"},
      {u"\\cite{a,b} \\parencite{c} \\label{x:y} ok", "ok"},
      {u"\\includegraphics[width=0.5\\textwidth]{figs/plot.pdf} \\input{chapter1}", ""},
      {u"\\documentclass[11pt,a4paper]{article}\n\\usepackage[utf8]{inputenc}", ""},
      {u"\\bibliographystyle{plainnat}\\bibliography{refs,more}", ""},
      {u"\\url{https://example.org/x} \\href{http://x.org}{the site}", "the site"},
      {u"See https://x.org/a\\_b, me@x.org or data/plot.csv\\footnote{www.x.org/\\~{}me}"
       u" \\verb|http://x.org| and",
       "See or and"},
      // Definitions: names, parameters and defaults hidden, bodies read as text of their own.
      {u"\\newcommand{\\vect}[1]{\\mathbf{#1}} \\renewcommand\\abstractname{Summary} go",
       "Summary go"},
      {u"\\newcommand*{\\B}[2][x]{{\\bf#1} and ##2)} \\providecommand{\\P}{%\n  Some text % {\n}",
       "and Some text"},
      {u"\\def\\foo#1.#2{bar #1} \\gdef\\date{April, 2006}\\def\\sec{\\section} after",
       "bar April after"},
      {u"\\newenvironment{note}[1]{\\par Note: #1}{\\par End} \\let\\a\\b x", "Note End x"},
      {u"\\NewDocumentCommand{\\hi}{m o}{Hello #1} \\DeclareMathOperator{\\sgn}{sgn} y", "Hello y"},
      {u"\\newcommand{\\be}{\\begin{equation}}\\newcommand{\\dol}{$} text $x$", "text"},
      {u"\\newcommand{\\open}{unclosed", "unclosed"},
      {u"\\newcommand{\\SX}{{S_X}}\\def\\e{e^{ix}} snake_case", "S e snake_case"},
      // Labels of a document's own reference commands, counters, and braces inside a word.
      {u"by \\thmref{t:conl} and \\figRef{fig-a} (\\roman{enumi}) \\hyperref[x]{here}",
       "by and here"},
      {u"\\NeedsTeXFormat{LaTeX2e}[1995/12/01] closed {E}uler trails, \\textbf{a}b {x} y",
       "closed Euler trails ab x y"},
      {u"\\setlength{\\parindent}{0pt}\\vspace*{1em}\\hspace{2mm}gap", "gap"},
      {u"\\textcolor{red}{warm} \\multicolumn{2}{c|}{Total}", "warm Total"},
      // Environments: names hidden, placement and column specifications too.
      {u"\\begin{figure}[htbp]\\centering\\caption{A plot}\\end{figure}", "A plot"},
      {u"\\begin{tabular}{|l|cr|}\nname & value \\\\ \\hline\n\\end{tabular}", "name value"},
      {u"\\begin{theorem}[Cauchy] Every sequence", "Cauchy Every sequence"},
      {u"\\newtheorem{thm}{Theorem}\\begin{thm}[Main result] Text", "Theorem Main result Text"},
      {u"\\begin{itemize}\n\\item first\n\\end{itemize}", "first"},
      // Math.
      {u"mass $E = mc^2$ and $\\alpha\\$x$ done", "mass and done"},
      {u"$$\\sum_{i=1}^n x_i$$ then \\(a+b\\) and \\[ \\int f \\] end", "then and end"},
      {u"\\begin{equation*}\\label{e}x\\end{equation*} \\begin{align}y&=z\\end{align} ok", "ok"},
      {u"unclosed $x + y\n\nnext paragraph", "unclosed next paragraph"},
      {u"unclosed \\begin{equation} x = y", "unclosed"},
      // Verbatim and comments.
      {u"\\begin{verbatim}\nint main() {}\n\\end{verbatim} after", "after"},
      {u"\\begin{lstlisting}[language=C]\nfoo\n\\end{lstlisting} \\verb|a_b| \\verb*+x+ y", "y"},
      {u"text % a comment\nmore 100\\% sure", "text more sure"},
      {u"\\verb|unclosed\nnext", "next"},
      // Accents and letters spelt as commands, quotes, ties and dashes.
      {u"caf\\'e na\\\"{\\i}ve M{\\\"u}ller Gar\\c{c}on Stra\\ss e",
       "café naïve Müller Garçon Straße"},
      {u"Stra\\ss{}e \\AA ngstr\\\"om r\\'esum\\'e \\v{S}koda", "Straße Ångström résumé Škoda"},
      {u"``quoted'' text~here 1--2 word---dash", "quoted text here word dash"},
      {u"hy\\-phen\\-ation", "hyphenation"},
      {u"na\\\"\\i ve, na\\\"{\\i }ve", "na\u00efve na\u00efve"},
      // Odd input runs to the end without harm.
      {u"\\", ""},
      {u"\\section{open", "open"},
      {u"\\ref{open", ""},
      {u"\\'", ""},
      {u"{\\\"", ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WordsLeft(HideTexMarkup, c.text), c.words) << ToUtf8(c.text);

  // Definitions nested without end are read in place past a few levels, the stack untouched.
  std::u16string nested;
  for (int i = 0; i < 100000; ++i) nested += u"\\def\\a{";
  EXPECT_EQ(WordsLeft(HideTexMarkup, nested + u"deep"), "deep");
}

TEST(NroffFilter, HidesMarkupAndKeepsProse) {
  const Case cases[] = {
      // Requests and macros without text: the whole line.
      {u".TH GZIP 1 \"2020-01-01\" \"GNU\" \"User Commands\"\nword", "word"},
      {u".PP\n.RS 4n\n.sp 2\n.nr PD 0\n.ft CW\n.in +4\n.ti -2\n.br\n.RE\ntext", "text"},
      {u".so man1/foo.1\n.if n .ds Aq '\n.ie t \\{\\\n.el \\}\nok", "ok"},
      // Macros with text: the arguments are checked, name and quotes hidden.
      {u".SH \"SEE ALSO\"\n.SS Options\n.B bold words\n.I italic",
       "SEE ALSO Options bold words italic"},
      {u".BR gzip (1),\n.IR file .txt\n.RB [ \\-\\-verbose ]", "gzip file txt verbose"},
      {u".TP\n.B \\-k\nKeep the files.", "k Keep the files"},
      {u".IP \\(bu 4\nitem\n.IP 2. 4n\nnext\n.IP \"Tag word\" 8n\nbody", "item next Tag word body"},
      // Comments.
      {u".\\\" a comment\ntext \\\" trailing note\n'\\\" another\nmore \\# gone", "text more"},
      // Escapes never glue to words; letters and apostrophes decode.
      {u"\\fBgzip\\fR and \\fIfile\\fP, \\f(BIboth\\f[B]x\\f[]", "gzip and file both x"},
      {u"\\-\\-help \\(em dash\\(endash \\(lqquoted\\(rq \\[lq]x\\[rq]", "help dash dash quoted x"},
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
      {u".Em Note :\n.Dq quoted words\n.Ql code_here\n.Cm add Ns No ing", "Note quoted words ing"},
      {u".Bd -literal -offset indent\n$ make install\n.Ed\nafter", "after"},
      // Odd input runs to the end of the line or the text.
      {u"\\", ""},
      {u"\\f", ""},
      {u"\\(a", ""},
      {u"\\[unclosed\nnext", "next"},
      {u"\\w'open\nnext", "next"},
      {u".de XX\nnever closed", ""},
      {u".\n'\n.", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WordsLeft(HideNroffMarkup, c.text), c.words) << ToUtf8(c.text);
  }
}

// Random mixes of the characters each format treats specially keep the contract and end.
TEST(TexNroffFilters, KeepTheContractOnAnyInput) {
  const std::u16string alphabet = u"\\{}[]$%()'\"`~-&.*@#|^ \n\rabcfsinTEBIP12(";
  std::mt19937 random(19);
  for (int round = 0; round < 3000; ++round) {
    std::u16string text(random() % 40, u' ');
    for (char16_t& c : text) c = alphabet[random() % alphabet.size()];
    for (Filter filter : {HideTexMarkup, HideNroffMarkup}) {
      std::u16string filtered = text;
      filter(filtered);
      ExpectContract(text, filtered);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
}  // namespace lexivane::frontend
