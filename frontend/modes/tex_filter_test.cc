#include <gtest/gtest.h>

#include <string>

#include "frontend/modes/filter_test_words.h"
#include "frontend/modes/mode_filters.h"
#include "lexivane/utf8.h"

namespace lexivane::frontend {
namespace {

TEST(TexFilter, HidesMarkupAndKeepsProse) {
  ExpectWords(
      HideTexMarkup,
      {
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
          {u"\\newcommand*{\\B}[2][x]{{\\bf#1} and ##2)} \\providecommand{\\P}{%\n  Some text % "
           u"{\n}",
           "and Some text"},
          {u"\\def\\foo#1.#2{bar #1} \\gdef\\date{April, 2006}\\def\\sec{\\section} after",
           "bar April after"},
          {u"\\newenvironment{note}[1]{\\par Note: #1}{\\par End} \\let\\a\\b x", "Note End x"},
          {u"\\NewDocumentCommand{\\hi}{m o}{Hello #1} \\DeclareMathOperator{\\sgn}{sgn} y",
           "Hello y"},
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
          {u"\\begin{equation*}\\label{e}x\\end{equation*} \\begin{align}y&=z\\end{align} ok",
           "ok"},
          {u"unclosed $x + y\n\nnext paragraph", "unclosed next paragraph"},
          {u"unclosed \\begin{equation} x = y", "unclosed"},
          // Verbatim and comments.
          {u"\\begin{verbatim}\nint main() {}\n\\end{verbatim} after", "after"},
          {u"\\begin{lstlisting}[language=C]\nfoo\n\\end{lstlisting} \\verb|a_b| \\verb*+x+ y",
           "y"},
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
      },
      FilterChanges::kBlanksAndJoinedLetters);

  // Definitions nested without end are read in place past a few levels, the stack untouched.
  std::u16string nested;
  for (int i = 0; i < 100000; ++i) nested += u"\\def\\a{";
  EXPECT_EQ(FilteredWords(HideTexMarkup, nested + u"deep", FilterChanges::kBlanksAndJoinedLetters),
            "deep");
}

TEST(TexFilter, ReadsEachConstructToItsEdge) {
  ExpectWords(
      HideTexMarkup,
      {
          // \verb with any delimiter, a star or braces, and no escapes inside; \lstinline and
          // \mintinline; a \verb at the text's end.
          {u"\\verb!a_b! one \\verb*+x y+ two \\verb{c d} three", "one two three"},
          {u"\\lstinline{int x} a \\lstinline|y| b \\mintinline{python}{x = 1} c", "a b c"},
          {u"end \\verb", "end"},
          {u"\\verb|x\\| y| z", "y z"},
          // Environments: math and verbatim starred or spaced, unknown ones with a text
          // argument, column specifications with widths, a \begin without a name.
          {u"\\begin{comment}\nhidden words\n\\end{comment} shown", "shown"},
          {u"\\begin{align*}a &= b\\end{align*} \\begin {gather}x\\end{gather} ok", "ok"},
          {u"\\begin{minted}{python}\nprint(x)\n\\end{minted} \\begin{tikzpicture}\\node{N};"
           u"\\end{tikzpicture} after",
           "after"},
          {u"\\begin{tabular*}{\\textwidth}{@{}lr@{}} a & b \\end{tabular*}", "a b"},
          {u"\\begin{minipage}[t]{0.5\\textwidth} Inside\\end{minipage}", "Inside"},
          {u"\\begin{mybox}{Box title} body \\end{mybox}", "Box title body"},
          {u"\\begin word", "word"},
          {u"\\begin{verbatim} never closed", ""},
          // Optional arguments of commands whose arguments are text are text.
          {u"\\section[Short]{Long title} \\item[Label] \\caption[List]{Full}",
           "Short Long title Label List Full"},
          {u"\\setcounter{page}{3}\\definecolor{dark}{rgb}{0,0,0} \\rule[1ex]{2cm}{1pt} left",
           "left"},
          // Math: escaped dollars inside and out, display math, \( \) and \[ \] open at the end.
          {u"costs \\$5, $a\\$b$ and $$x$$ paid", "costs and paid"},
          {u"before \\(x + y", "before"},
          {u"before \\[ x", "before"},
          {u"open $$ display\n\nnext", "open next"},
          {u"text $", "text"},
          // Groups: closed, nested, or open to the end; escaped braces are hidden.
          {u"{\\bf bold} {{nested}} {open group", "bold nested open group"},
          {u"\\{set\\} a\\,b c\\;d e\\ f g\\@ h\\/ i", "set a b c d e f g h i"},
          // Accents: each mark, braced or not, on a letter; a blank before a letter accent's
          // base; the accent command braced whole; accents on what is no letter are hidden.
          {u"\\^ote \\~n \\=a \\u{g} \\.z \\H{o} \\v c \\k{a} \\r{a} \\d{o} \\`a",
           "\u00f4te \u00f1 \u0101 \u011f \u017c \u0151 \u010d \u0105 \u00e5 \u1ecd \u00e0"},
          {u"{\\'e}t{\\'{e}} Stra{\\ss}e {\\o}l \\ae ther \\OE{}uvre \\l{}\\'od\\'z",
           "\u00e9t\u00e9 Stra\u00dfe \u00f8l \u00e6ther \u0152uvre \u0142\u00f3d\u017a"},
          {u"\\v{x}ar x\\'1 y\\'{} z", "xar x y z"},
          // Comments: to the line's end only, and `%` in a word or after an escape.
          {u"one% two\nthree 5\\% four %\n five", "one three four five"},
          // Plain TeX assignments: numbers, glue, a value after `=`; not prose after a command.
          {u"\\parindent=0pt \\baselineskip=12pt plus 2pt minus 1pt \\tolerance 1000 kept", "kept"},
          {u"\\count255=-5 \\today is \\LaTeX here", "is here"},
          // Scripts are text outside a definition, math within one.
          {u"a_b x^2 \\newcommand{\\sq}{x^{2}y_1}", "a_b x x y"},

          // References and citations, known or not.
          {u"\\autoref{s} \\cref{a,b} \\nameref{x} \\footcite[p.~4]{k} \\Citeauthor{k} \\secref{y}"
           u" ok",
           "ok"},
          // Addresses read through escapes, and ended by a brace or a \verb.
          {u"at https://x.org/a\\%20b\\#frag, www.x.org/\\textasciitilde{}me and ok", "at and ok"},
          {u"\\href{https://x.org/a\\_b}{Link} and \\url{mailto:me@x.org}", "Link and"},
      },
      FilterChanges::kBlanksAndJoinedLetters);
}

// Random mixes of the characters the format treats specially keep the contract and end.
TEST(TexFilter, KeepsTheContractOnAnyInput) {
  ExpectContractOnRandomText(HideTexMarkup, u"\\{}[]$%()'\"`~-&.*@#|^ \n\rabcfsinTEBIP12(",
                             FilterChanges::kBlanksAndJoinedLetters);
}

}  // namespace
}  // namespace lexivane::frontend
