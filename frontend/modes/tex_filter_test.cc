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

// Random mixes of the characters the format treats specially keep the contract and end.
TEST(TexFilter, KeepsTheContractOnAnyInput) {
  ExpectContractOnRandomText(HideTexMarkup, u"\\{}[]$%()'\"`~-&.*@#|^ \n\rabcfsinTEBIP12(",
                             FilterChanges::kBlanksAndJoinedLetters);
}

}  // namespace
}  // namespace lexivane::frontend
