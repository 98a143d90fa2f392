// TeX and LaTeX: one pass over the text. A command's name is hidden; so are the arguments of
// the commands whose arguments are names, keys, files or lengths (kHiddenArguments), while every
// other braced argument is read as text. The body of a definition (\newcommand, \def, ...) is
// text too, often the very prose a document prints: it is read as a text of its own, with its
// `#1` parameters hidden. Math, verbatim material and comments are hidden whole. Accents and
// the letters TeX spells as commands become the letter they make.
//
// Nothing is read twice: each argument, group or environment is scanned once from where the
// scan stands (a definition's body once more inside it, down to a few levels of nesting), and
// a search that finds no end hides the rest of the text (or, for math, stops at the
// paragraph's end, where TeX itself gives up on a missing `$`).

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

namespace {

using std::size_t;

struct Scan {
  TextCursor t;

  size_t Size() const { return t.size(); }
  char16_t At(size_t i) const { return t.At(i); }
  void Hide(size_t from, size_t to) const { t.Hide(from, to); }
  void Decode(size_t from, size_t to, char16_t c) const { t.Decode(from, to, c); }

  size_t SkipBlanks(size_t i) const {
    bool newline = false;
    while (i < t.size()) {
      if (IsBlank(t[i]) || t[i] == u'\r') {
        ++i;
      } else if (t[i] == u'\n' && !newline) {  // one line break, not a paragraph's end
        newline = true;
        ++i;
      } else {
        break;
      }
    }
    return i;
  }

  // The end of the group or optional argument opened at `i` (one past its closer), skipping
  // escaped delimiters, and comments when `comments` (not in arguments such as `\url{a%20b}`,
  // which are read as written); the end of the text when it is never closed.
  size_t GroupEnd(size_t i, char16_t open, char16_t close, bool comments = false) const {
    int depth = 0;
    for (; i < t.size(); ++i) {
      if (t[i] == u'\\') {
        ++i;
      } else if (comments && t[i] == u'%') {
        while (i + 1 < t.size() && t[i + 1] != u'\n') ++i;
      } else if (t[i] == open) {
        ++depth;
      } else if (t[i] == close && --depth == 0) {
        return i + 1;
      }
    }
    return t.size();
  }

  size_t ControlSequenceEnd(size_t i) const {  // `i` at the backslash
    size_t j = i + 1;
    if (j >= t.size()) return j;
    if (!IsAsciiLetter(t[j]) && t[j] != u'@') return j + 1;
    while (j < t.size() && (IsAsciiLetter(t[j]) || t[j] == u'@')) ++j;
    return j;
  }

  bool ParagraphEndsAt(size_t i) const {  // `i` at a line feed
    size_t j = i + 1;
    while (j < t.size() && (IsBlank(t[j]) || t[j] == u'\r')) ++j;
    return j < t.size() && t[j] == u'\n';
  }

  // Math from `i` (just past its opener) to one past `closer` (`$`, `$$`, `\)` or `\]`).
  size_t MathEnd(size_t i, std::u16string_view closer) const {
    while (i < t.size()) {
      if (std::u16string_view(t).substr(i, closer.size()) == closer) return i + closer.size();
      if (t[i] == u'\\') {
        i += 2;
      } else if (t[i] == u'\n' && ParagraphEndsAt(i)) {
        return i;
      } else {
        ++i;
      }
    }
    return t.size();
  }

  size_t EnvironmentEnd(size_t i, std::u16string_view name) const {
    std::u16string end = u"\\end{";
    end.append(name);
    end += u'}';
    const size_t at = t.Find(end, i, t.size());
    return at == std::u16string::npos ? t.size() : at + end.size();
  }
};

// Commands whose arguments are not text: how many braced (or single-command) arguments to
// hide; optional arguments around them are hidden too. After them, any further argument is
// read as text (`\href{url}{text}`, `\textcolor{red}{text}`).
struct HiddenArguments {
  std::u16string_view name;
  int count;
};

constexpr HiddenArguments kHiddenArguments[] = {
    {u"ref", 1},
    {u"eqref", 1},
    {u"pageref", 1},
    {u"autoref", 1},
    {u"cref", 1},
    {u"Cref", 1},
    {u"vref", 1},
    {u"nameref", 1},
    {u"label", 1},
    {u"hyperref", 0},
    {u"nocite", 1},
    {u"bibitem", 1},
    {u"includegraphics", 1},
    {u"input", 1},
    {u"include", 1},
    {u"includeonly", 1},
    {u"usepackage", 1},
    {u"RequirePackage", 1},
    {u"documentclass", 1},
    {u"LoadClass", 1},
    {u"bibliography", 1},
    {u"bibliographystyle", 1},
    {u"addbibresource", 1},
    {u"url", 1},
    {u"href", 1},
    {u"DeclareMathOperator", 2},
    {u"newtheorem", 1},
    {u"newcounter", 1},
    {u"stepcounter", 1},
    {u"refstepcounter", 1},
    {u"value", 1},
    {u"arabic", 1},
    {u"roman", 1},
    {u"Roman", 1},
    {u"alph", 1},
    {u"Alph", 1},
    {u"fnsymbol", 1},
    {u"NeedsTeXFormat", 1},
    {u"ProvidesPackage", 1},
    {u"ProvidesClass", 1},
    {u"ProvidesFile", 1},
    {u"setcounter", 2},
    {u"addtocounter", 2},
    {u"newlength", 1},
    {u"setlength", 2},
    {u"addtolength", 2},
    {u"settowidth", 2},
    {u"hspace", 1},
    {u"vspace", 1},
    {u"rule", 2},
    {u"raisebox", 1},
    {u"resizebox", 2},
    {u"scalebox", 1},
    {u"pagestyle", 1},
    {u"thispagestyle", 1},
    {u"pagenumbering", 1},
    {u"definecolor", 3},
    {u"color", 1},
    {u"textcolor", 1},
    {u"colorbox", 1},
    {u"fontsize", 2},
    {u"usetikzlibrary", 1},
    {u"graphicspath", 1},
    {u"hypersetup", 1},
    {u"geometry", 1},
    {u"lstset", 1},
    {u"setmainfont", 1},
    {u"multicolumn", 2},
    {u"multirow", 2},
    {u"cline", 1},
    {u"let", 2},
    {u"newif", 1},
    {u"linespread", 1},
    {u"setcitestyle", 1},
    {u"captionsetup", 1},
    {u"lstinputlisting", 1},
    {u"end", 1},
};

// Commands that define commands or environments: how many arguments name the definition (with
// its argument count and defaults) and are hidden, then how many bodies follow. A body is read
// as TeX text of its own: its prose is checked, its commands and `#1` parameters hidden.
struct Definition {
  std::u16string_view name;
  int names;
  int bodies;
};

constexpr Definition kDefinitions[] = {
    {u"newcommand", 1, 1},
    {u"renewcommand", 1, 1},
    {u"providecommand", 1, 1},
    {u"DeclareRobustCommand", 1, 1},
    {u"newenvironment", 1, 2},
    {u"renewenvironment", 1, 2},
    {u"NewDocumentCommand", 2, 1},
    {u"RenewDocumentCommand", 2, 1},
    {u"ProvideDocumentCommand", 2, 1},
    {u"DeclareDocumentCommand", 2, 1},
    {u"NewDocumentEnvironment", 2, 2},
    {u"RenewDocumentEnvironment", 2, 2},
};

// Environments whose arguments after the name are not text (column specifications, widths,
// placements), and how many braced ones there are.
constexpr HiddenArguments kEnvironmentArguments[] = {
    {u"figure", 0},    {u"figure*", 0},    {u"table", 0},           {u"table*", 0},
    {u"itemize", 0},   {u"enumerate", 0},  {u"description", 0},     {u"tabular", 1},
    {u"tabular*", 2},  {u"tabularx", 2},   {u"longtable", 1},       {u"array", 1},
    {u"minipage", 1},  {u"wrapfigure", 2}, {u"thebibliography", 1}, {u"multicols", 1},
    {u"subfigure", 1}, {u"center", 0},
};

constexpr std::u16string_view kMathEnvironments[] = {
    u"equation",    u"align",   u"gather",  u"multline", u"eqnarray", u"math",
    u"displaymath", u"flalign", u"alignat", u"dmath",    u"split",
};

constexpr std::u16string_view kVerbatimEnvironments[] = {
    u"verbatim",  u"lstlisting", u"minted",       u"Verbatim",    u"BVerbatim",
    u"LVerbatim", u"comment",    u"filecontents", u"tikzpicture", u"pgfpicture",
};

bool IsIn(std::u16string_view name, const std::u16string_view* list, size_t size) {
  if (!name.empty() && name.back() == u'*') name.remove_suffix(1);
  for (size_t k = 0; k < size; ++k) {
    if (list[k] == name) return true;
  }
  return false;
}

const HiddenArguments* Find(std::u16string_view name, const HiddenArguments* list, size_t size) {
  for (size_t k = 0; k < size; ++k) {
    if (list[k].name == name) return &list[k];
  }
  return nullptr;
}

// kHiddenArguments by name: nearly every command is looked up there, and most are not in it.
const HiddenArguments* FindHiddenArguments(std::u16string_view name) {
  static const auto* const kByName = new filter::NameIndex<HiddenArguments>(kHiddenArguments);
  return kByName->Find(name);
}

bool IsCite(std::u16string_view name) {
  return name.find(u"cite") != std::u16string_view::npos ||
         name.find(u"Cite") != std::u16string_view::npos;
}

// A document's own reference commands (\thmref, \secref, \figRef) take a label as \ref does.
bool IsReference(std::u16string_view name) {
  return name.size() > 3 && (name.ends_with(u"ref") || name.ends_with(u"Ref")) &&
         name != u"hyperref"sv;
}

// The combining mark of an accent command (`\'`, `\"`, `\c`, ...), or 0.
char16_t CombiningMark(std::u16string_view name) {
  if (name.size() != 1) return 0;
  switch (name[0]) {
    case u'`':
      return u'\u0300';
    case u'\'':
      return u'\u0301';
    case u'^':
      return u'\u0302';
    case u'~':
      return u'\u0303';
    case u'=':
      return u'\u0304';
    case u'u':
      return u'\u0306';
    case u'.':
      return u'\u0307';
    case u'"':
      return u'\u0308';
    case u'r':
      return u'\u030A';
    case u'H':
      return u'\u030B';
    case u'v':
      return u'\u030C';
    case u'd':
      return u'\u0323';
    case u'c':
      return u'\u0327';
    case u'k':
      return u'\u0328';
    case u'b':
      return u'\u0331';
    default:
      return 0;
  }
}

// Letters TeX spells as commands.
char16_t LetterCommand(std::u16string_view name) {
  static constexpr struct {
    std::u16string_view name;
    char16_t letter;
  } kLetters[] = {
      {u"ss", u'ß'}, {u"ae", u'æ'}, {u"AE", u'Æ'}, {u"oe", u'œ'}, {u"OE", u'Œ'},
      {u"o", u'ø'},  {u"O", u'Ø'},  {u"aa", u'å'}, {u"AA", u'Å'}, {u"l", u'ł'},
      {u"L", u'Ł'},  {u"i", u'ı'},  {u"j", u'ȷ'},
  };
  if (name.size() > 2) return 0;
  for (const auto& known : kLetters) {
    if (known.name == name) return known.letter;
  }
  return 0;
}

class TexFilter {
 public:
  // `depth`: how many definitions' bodies the text lies in.
  explicit TexFilter(std::u16string& text, int depth = 0) : s_{TextCursor(text)}, depth_(depth) {}

  void Run() {
    size_t i = 0;
    while (i < s_.Size()) {
      // Characters Step has nothing for are passed over here, without the call.
      while (i < s_.Size() && !IsSpecial(s_.t[i])) ++i;
      if (i < s_.Size()) i = Step(i);
    }
  }

 private:
  // The characters Step does something with.
  static bool IsSpecial(char16_t c) {
    static constexpr AsciiSet kSpecial("%\\${}#_^~&`'-");
    return kSpecial.Has(c);
  }

  size_t Step(size_t i) {
    const char16_t c = s_.t[i];
    switch (c) {
      case u'%': {
        const size_t end = s_.t.LineEnd(i);
        s_.Hide(i, end);
        return end;
      }
      case u'\\':
        return Command(i);
      case u'$': {
        const bool display = s_.At(i + 1) == u'$';
        const size_t end = s_.MathEnd(i + (display ? 2 : 1), display ? u"$$" : u"$");
        s_.Hide(i, end);
        return end;
      }
      case u'{': {
        // `{\"u}`: the braces belong to the letter, so that "M{\"u}ller" stays one word.
        if (s_.At(i + 1) == u'\\') {
          const size_t end = Accent(i + 1, true);
          if (end > i + 1) return end;
        }
        return Brace(i);
      }
      case u'#': {  // a macro's parameter: #1, or ##1 in a definition within a definition
        size_t end = i;
        while (s_.At(end) == u'#') ++end;
        if (s_.At(end) >= u'1' && s_.At(end) <= u'9') ++end;
        s_.Hide(i, end);
        return end;
      }
      case u'}':
        return Brace(i);
      case u'_':
      case u'^': {  // in a macro meant for math (`{S_X}`), a script is math
        if (depth_ == 0) return i + 1;
        const size_t end = s_.At(i + 1) == u'{' ? s_.GroupEnd(i + 1, u'{', u'}') : i + 2;
        s_.Hide(i, end);
        return std::min(end, s_.Size());
      }
      case u'~':
      case u'&':
      case u'`':
        s_.Hide(i, i + 1);
        return i + 1;
      case u'\'':
      case u'-':
        if (s_.At(i + 1) == c) {  // '' quotes, -- and --- dashes
          size_t end = i;
          while (s_.At(end) == c) ++end;
          s_.Hide(i, end);
          return end;
        }
        return i + 1;
      default:
        return i + 1;
    }
  }

  // A brace groups, it prints nothing: between two letters (`{E}uler`, `\textbf{a}b`) it joins
  // them into one word, as TeX sets them; elsewhere it is hidden.
  size_t Brace(size_t i) {
    if (i > 0 && IsAsciiLetter(s_.t[i - 1]) && IsAsciiLetter(s_.At(i + 1))) {
      s_.t.Put(i, kWordJoiner);
    } else {
      s_.Hide(i, i + 1);
    }
    return i + 1;
  }

  // The accent or letter command at `i` (a backslash), ending at a closing brace when `braced`
  // (the `{` before `i` is then part of the sequence). Returns where the decoded sequence ends,
  // or `i` when there is none to decode.
  size_t Accent(size_t i, bool braced) {
    const size_t name_end = s_.ControlSequenceEnd(i);
    const std::u16string_view name = std::u16string_view(s_.t).substr(i + 1, name_end - i - 1);
    const size_t from = braced ? i - 1 : i;
    char16_t letter = LetterCommand(name);
    size_t end = name_end;
    if (letter != 0) {
      if (s_.At(end) == u'{' && s_.At(end + 1) == u'}') {
        end += 2;
      } else if (s_.At(end) == u' ') {
        ++end;  // TeX swallows the blank after a command's name
      }
    } else if (const char16_t mark = CombiningMark(name); mark != 0) {
      size_t base = end;
      if (IsAsciiLetter(name[0])) {
        while (s_.At(base) == u' ') ++base;
      }
      bool group = false;
      if (s_.At(base) == u'{') {
        group = true;
        ++base;
      }
      char16_t base_letter = s_.At(base);
      size_t after = base + 1;
      if (base_letter == u'\\' && (s_.At(base + 1) == u'i' || s_.At(base + 1) == u'j') &&
          !IsAsciiLetter(s_.At(base + 2))) {  // \'\i: the dotless i under the accent
        base_letter = s_.At(base + 1);
        after = base + 2;
        while (IsBlank(s_.At(after))) ++after;  // swallowed by `\i`, as after any command's name
      }
      if (!IsAsciiLetter(base_letter)) return i;
      if (group) {
        if (s_.At(after) != u'}') return i;
        ++after;
      }
      letter = filter::ComposeMark(base_letter, mark);
      if (letter == 0) letter = base_letter;
      end = after;
    } else {
      return i;
    }
    if (braced) {
      if (s_.At(end) != u'}') return i;
      ++end;
    }
    s_.Decode(from, end, letter);
    return end;
  }

  size_t Command(size_t i) {
    const size_t name_end = s_.ControlSequenceEnd(i);
    const std::u16string_view name = std::u16string_view(s_.t).substr(i + 1, name_end - i - 1);
    if (name.empty()) {  // a lone backslash at the end
      s_.Hide(i, name_end);
      return name_end;
    }
    if (const size_t end = Accent(i, false); end > i) return end;
    if (!IsAsciiLetter(name[0]) && name[0] != u'@') return ControlSymbol(i, name[0]);

    size_t end = name_end;
    if (s_.At(end) == u'*') ++end;
    if (name == u"begin"sv) return Begin(i, end);
    if (name == u"verb"sv || name == u"lstinline"sv) return Verb(i, end);
    if (name == u"mintinline"sv) return HideArguments(i, end, 2);
    if (name == u"def"sv || name == u"gdef"sv || name == u"edef"sv || name == u"xdef"sv) {
      // \def\name#1#2{body}: the name and the parameter text up to the body are hidden.
      size_t body = s_.t.view().find(u'{', end);
      if (body == std::u16string::npos) body = s_.Size();
      s_.Hide(i, body);
      return Body(body);
    }
    for (const Definition& known : kDefinitions) {
      if (known.name != name) continue;
      end = HideArguments(i, end, known.names);
      for (int k = 0; k < known.bodies; ++k) end = Body(s_.SkipBlanks(end));
      return end;
    }
    if (const HiddenArguments* known = FindHiddenArguments(name)) {
      return HideArguments(i, end, known->count);
    }
    if (IsCite(name) || IsReference(name)) return HideArguments(i, end, 1);
    if (name == u"font"sv) {  // \font\big=cmbx10: the name and the font's file
      end = s_.SkipBlanks(end);
      if (s_.At(end) == u'\\') end = s_.ControlSequenceEnd(end);
    }
    s_.Hide(i, end);
    return Assignment(end);
  }

  // Plain TeX's `\hsize=10in`, `\parskip 5pt`, `\font\big=cmbx10`: the value after `=`, or a
  // number with its unit, is not text.
  size_t Assignment(size_t i) {
    size_t j = i;
    while (IsBlank(s_.At(j))) ++j;
    const bool equals = s_.At(j) == u'=';
    if (equals) ++j;
    while (IsBlank(s_.At(j))) ++j;
    const char16_t c = s_.At(j);
    const bool number = (c >= u'0' && c <= u'9') || c == u'.' || c == u'-';
    if (!number && !(equals && IsAsciiLetter(c))) return i;
    while (j < s_.Size() && !IsBlank(s_.t[j]) && s_.t[j] != u'\n' && s_.t[j] != u'\r' &&
           s_.t[j] != u'\\' && s_.t[j] != u'{' && s_.t[j] != u'}' && s_.t[j] != u'%') {
      ++j;
    }
    // Glue: `5pt plus 1pt minus 2pt`.
    for (std::u16string_view part : {u" plus "sv, u" minus "sv}) {
      if (std::u16string_view(s_.t).substr(j, part.size()) == part) {
        j += part.size();
        while (j < s_.Size() && !IsBlank(s_.t[j]) && s_.t[j] != u'\n' && s_.t[j] != u'\\') ++j;
      }
    }
    s_.Hide(i, j);
    return j;
  }

  size_t ControlSymbol(size_t i, char16_t symbol) {
    switch (symbol) {
      case u'(': {
        const size_t end = s_.MathEnd(i + 2, u"\\)");
        s_.Hide(i, end);
        return end;
      }
      case u'[': {
        const size_t end = s_.MathEnd(i + 2, u"\\]");
        s_.Hide(i, end);
        return end;
      }
      case u'\\':  // a line break, with its optional star and space
        return HideArguments(i, s_.At(i + 2) == u'*' ? i + 3 : i + 2, 0);
      case u'_':  // snake_case identifiers stay one word
        s_.Decode(i, i + 2, u'_');
        return i + 2;
      case u'-':  // a hyphenation point inside a word: the word stays whole
        if (i > 0 && IsAsciiLetter(s_.t[i - 1]) && IsAsciiLetter(s_.At(i + 2))) {
          s_.t.Fill(i, i + 2, kWordJoiner);
          return i + 2;
        }
        break;
      default:
        break;
    }
    s_.Hide(i, i + 2);
    return i + 2;
  }

  // The body of a definition, its group opening at `i` (or a single command): the braces are
  // hidden and what they hold is filtered as a text of its own, so that a construct the body
  // opens and does not close (`\newcommand{\be}{\begin{equation}}`, a lone `$`) ends with it.
  size_t Body(size_t i) {
    // `\def\a\b`, or nested too deep: read on in place.
    if (s_.At(i) != u'{' || depth_ >= kMaxDepth) return i;
    const size_t end = s_.GroupEnd(i, u'{', u'}', true);
    const bool closed = end > i + 1 && s_.t[end - 1] == u'}';
    const size_t inner_end = closed ? end - 1 : end;
    std::u16string inner(s_.t.substr(i + 1, inner_end - i - 1));
    TexFilter(inner, depth_ + 1).Run();
    s_.t.text().replace(i + 1, inner.size(), inner);
    s_.Hide(i, i + 1);
    s_.Hide(inner_end, end);
    return end;
  }

  // Hides from `i` through the `count` arguments after `from`, and the optional ones among
  // and after them.
  size_t HideArguments(size_t i, size_t from, int count) {
    size_t end = from;
    for (;;) {
      const size_t next = s_.SkipBlanks(end);
      const char16_t c = s_.At(next);
      if (c == u'[') {
        end = s_.GroupEnd(next, u'[', u']');
      } else if (count > 0 && c == u'{') {
        end = s_.GroupEnd(next, u'{', u'}');
        --count;
      } else if (count > 0 && c == u'\\') {
        end = s_.ControlSequenceEnd(next);
        --count;
      } else {
        break;
      }
    }
    s_.Hide(i, end);
    return end;
  }

  size_t Verb(size_t i, size_t from) {
    if (from >= s_.Size()) {
      s_.Hide(i, from);
      return from;
    }
    size_t end;
    if (s_.t[from] == u'{') {
      end = s_.GroupEnd(from, u'{', u'}');
    } else {
      const char16_t delimiter = s_.t[from];
      end = from + 1;
      while (end < s_.Size() && s_.t[end] != delimiter && s_.t[end] != u'\n') ++end;
      if (end < s_.Size() && s_.t[end] == delimiter) ++end;
    }
    s_.Hide(i, end);
    return end;
  }

  size_t Begin(size_t i, size_t from) {
    const size_t open = s_.SkipBlanks(from);
    if (s_.At(open) != u'{') {
      s_.Hide(i, from);
      return from;
    }
    const size_t close = s_.GroupEnd(open, u'{', u'}');
    const std::u16string_view name =
        std::u16string_view(s_.t).substr(open + 1, close > open + 1 ? close - open - 2 : 0);
    if (IsIn(name, kMathEnvironments, std::size(kMathEnvironments)) ||
        IsIn(name, kVerbatimEnvironments, std::size(kVerbatimEnvironments))) {
      const size_t end = s_.EnvironmentEnd(close, name);
      s_.Hide(i, end);
      return end;
    }
    if (const HiddenArguments* known =
            Find(name, kEnvironmentArguments, std::size(kEnvironmentArguments))) {
      return HideArguments(i, close, known->count);
    }
    s_.Hide(i, close);
    return close;
  }

  // Bodies nested deeper than this are read in place, so that a hostile text cannot exhaust the
  // stack or copy itself once per level.
  static constexpr int kMaxDepth = 8;

  Scan s_;
  int depth_;
};

// Hides the addresses of the text (URLs, e-mail addresses, paths), read through the escapes
// TeX needs inside them (`\_`, `\%`, `\#`, `\&`, `\~{}`), before its markup is read. Any other
// command, a brace, `~`, `$`, `&`, `|` and a comment end an address (`|` so that none takes in
// the delimiter that closes `\verb|…|`). Only the runs of non-blanks that hold a `/`, `:`, `@`
// or a dot before more of the run are read: every address holds one.
void HideAddresses(std::u16string& text) {
  static constexpr AsciiSet kSeparators("{}~$&|");
  static constexpr std::u16string_view kTilde = u"textasciitilde", kVerb = u"verb",
                                       kInline = u"lstinline";
  const Scan scan{TextCursor(text)};
  const size_t n = text.size();
  filter::AddressReading addresses(text);
  for (size_t run_end = 0, trigger = FindAnyOf(text, 0, u'.', u'/', u':', u'@'); trigger < n;
       trigger = FindAnyOf(text, std::max(trigger + 1, run_end), u'.', u'/', u':', u'@')) {
    if (text[trigger] == u'.' && (trigger + 1 == n || IsBlank(text[trigger + 1]) ||
                                  text[trigger + 1] == u'\n' || text[trigger + 1] == u'\r')) {
      continue;  // a sentence's end
    }
    size_t i = trigger;  // the run's start, not before the last one's end
    while (i > run_end && !IsBlank(text[i - 1]) && text[i - 1] != u'\n' && text[i - 1] != u'\r') {
      --i;
    }
    run_end = FindAnyOf(text, trigger, u' ', u'\t', u'\n', u'\r');
    size_t verbatim = i;  // the text from here on reads as it is written, but for kSeparators
    for (i = FindAnyOf(std::u16string_view(text).substr(0, run_end), i, u'\\', u'%'); i < run_end;
         i = FindAnyOf(std::u16string_view(text).substr(0, run_end), i, u'\\', u'%')) {
      addresses.Verbatim(verbatim, i, &kSeparators);
      const char16_t next = scan.At(i + 1);
      size_t end = i + 2;
      char16_t reads_as = u' ';
      if (text[i] == u'%') {  // a comment: the rest of the run
        end = run_end;
      } else if (next == u'_' || next == u'%' || next == u'#' || next == u'&' || next == u'$') {
        reads_as = next;
      } else if (next == u'-' || next == u'/') {  // a hyphenation point, an italic correction
        reads_as = 0;
      } else if (next == u'~' && scan.At(i + 2) == u'{' && scan.At(i + 3) == u'}') {
        end = i + 4;
        reads_as = u'~';
      } else {
        end = scan.ControlSequenceEnd(i);
        const std::u16string_view name = std::u16string_view(text).substr(i + 1, end - i - 1);
        if (name == kTilde) {
          if (scan.At(end) == u'{' && scan.At(end + 1) == u'}') end += 2;
          reads_as = u'~';
        } else if ((name == kVerb || name == kInline) && end < n) {  // read whole, as a blank
          if (text[end] == u'*') ++end;
          const char16_t delimiter = scan.At(end);
          if (delimiter != u'{' && delimiter != u'\n' && end < n) {
            end = std::min(FindAnyOf(text, end + 1, delimiter, u'\n') + 1, n);
          }
        }
      }
      end = std::min(end, n);
      addresses.Escape(i, end, reads_as);
      verbatim = i = end;
      if (end > run_end) run_end = FindAnyOf(text, end, u' ', u'\t', u'\n', u'\r');
    }
    addresses.Verbatim(verbatim, run_end, &kSeparators);
    addresses.HideAddresses();
  }
}

}  // namespace

void HideTexMarkup(std::u16string& text) {
  HideAddresses(text);
  TexFilter(text).Run();
}

}  // namespace lexivane::frontend
