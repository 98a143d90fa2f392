// nroff man pages (man and mdoc macros), a line at a time. A control line (starting with `.` or
// `'`) is hidden unless its macro takes text: then only the name and the quotes go, and mdoc's
// macros inside the line decide, word by word, whether what follows them is text (`.It Fl v`
// hides `v`). Blocks that are not prose (macro definitions, eqn, example code, table formats)
// are hidden from their opening to their closing request. Escapes are hidden everywhere, so a
// word is never glued to a font change; those that stand for a letter become it.
//
// Escapes never run past the end of their line, as troff reads them; a block never closed runs
// to the end of the text. Each line is read once.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <utility>

#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

namespace {

using std::size_t;

// What a table's format lines are made of: key letters, modifiers, widths and separators.
constexpr std::u16string_view kTableFormatCharacters =
    u"lrcnasLRCNAS^_=|tTbBiIfFpPvVwWeEzZuUdDxX0123456789()., \t-+";

// man macros whose arguments are text.
constexpr std::u16string_view kManTextMacros[] = {
    u"SH", u"SS", u"B", u"I", u"BR", u"IR", u"RB", u"BI", u"IB", u"RI", u"SM", u"SB", u"TQ",
};

// mdoc macros, and whether the words after them are text (until the next macro of the line).
struct MdocMacro {
  std::u16string_view name;
  bool text;
};

constexpr MdocMacro kMdocMacros[] = {
    {u"Nd", true},  {u"Nm", true},  {u"Sh", true},  {u"Ss", true},  {u"Em", true},  {u"Sy", true},
    {u"Dq", true},  {u"Qq", true},  {u"Sq", true},  {u"Pq", true},  {u"Bq", true},  {u"Brq", true},
    {u"Aq", true},  {u"Op", true},  {u"Oo", true},  {u"Oc", true},  {u"Do", true},  {u"Dc", true},
    {u"Qo", true},  {u"Qc", true},  {u"So", true},  {u"Sc", true},  {u"Po", true},  {u"Pc", true},
    {u"Bo", true},  {u"Bc", true},  {u"Ao", true},  {u"Ac", true},  {u"Eo", true},  {u"Ec", true},
    {u"No", true},  {u"Ns", true},  {u"Pf", true},  {u"Ap", true},  {u"It", true},  {u"D1", true},
    {u"An", true},  {u"Sx", true},  {u"Tn", true},  {u"Ta", true},  {u"%A", true},  {u"%B", true},
    {u"%T", true},  {u"%J", true},  {u"%I", true},  {u"%R", true},  {u"%Q", true},  {u"%N", true},
    {u"%O", true},  {u"%C", true},  {u"Fl", false}, {u"Cm", false}, {u"Ar", false}, {u"Ic", false},
    {u"Pa", false}, {u"Ev", false}, {u"Va", false}, {u"Fn", false}, {u"Fa", false}, {u"Ft", false},
    {u"Fd", false}, {u"Fo", false}, {u"Fc", false}, {u"In", false}, {u"Dv", false}, {u"Er", false},
    {u"Li", false}, {u"Ql", false}, {u"Xr", false}, {u"Lb", false}, {u"Ad", false}, {u"Mt", false},
    {u"Lk", false}, {u"Cd", false}, {u"Bl", false}, {u"El", false}, {u"Bd", false}, {u"Ed", false},
    {u"Dd", false}, {u"Dt", false}, {u"Os", false}, {u"St", false}, {u"Ex", false}, {u"Rv", false},
    {u"Dl", false}, {u"Vt", false}, {u"Ms", false}, {u"Pp", false}, {u"Lp", false}, {u"Rs", false},
    {u"Re", false}, {u"Bk", false}, {u"Ek", false}, {u"Bf", false}, {u"Ef", false}, {u"Sm", false},
    {u"Db", false}, {u"%U", false}, {u"%D", false}, {u"%P", false}, {u"%V", false},
};

// Every control line's name and every word of an mdoc line is looked up here.
const MdocMacro* FindMdoc(std::u16string_view name) {
  static const auto* const kByName = new filter::NameIndex<MdocMacro>(kMdocMacros);
  return kByName->Find(name);
}

bool IsManTextMacro(std::u16string_view name) {
  for (std::u16string_view known : kManTextMacros) {
    if (known == name) return true;
  }
  return false;
}

// The letter (or apostrophe) a named character stands for, or 0 for punctuation and symbols,
// which are hidden: `\(aq`, `\('e`, `\[u00E9]`, `\[char233]`.
char16_t NamedLetter(std::u16string_view name) {
  static constexpr struct {
    std::u16string_view name;
    char16_t letter;
  } kNamed[] = {
      {u"aq", u'\''}, {u"cq", u'\u2019'}, {u"ss", u'ß'}, {u"ae", u'æ'}, {u"AE", u'Æ'},
      {u"oe", u'œ'},  {u"OE", u'Œ'},      {u"/o", u'ø'}, {u"/O", u'Ø'}, {u"oa", u'å'},
      {u"oA", u'Å'},  {u"-D", u'Ð'},      {u"Sd", u'ð'}, {u"TP", u'Þ'}, {u"Tp", u'þ'},
      {u".i", u'ı'},  {u"/l", u'ł'},      {u"/L", u'Ł'},
  };
  for (const auto& known : kNamed) {
    if (known.name == name) return known.letter;
  }
  if (name.size() == 2 && IsAsciiLetter(name[1])) {
    char16_t mark = 0;
    switch (name[0]) {
      case u'\'':
        mark = u'\u0301';
        break;
      case u'`':
        mark = u'\u0300';
        break;
      case u':':
        mark = u'\u0308';
        break;
      case u'^':
        mark = u'\u0302';
        break;
      case u'~':
        mark = u'\u0303';
        break;
      case u',':
        mark = u'\u0327';
        break;
      case u'v':
        mark = u'\u030C';
        break;
      default:
        break;
    }
    if (mark != 0) return filter::ComposeMark(name[1], mark);
  }
  unsigned value = 0;
  std::u16string_view digits;
  int base = 10;
  if (name.size() >= 5 && name.size() <= 6 && name[0] == u'u') {
    digits = name.substr(1);
    base = 16;
  } else if (name.size() > 4 && name.size() <= 9 && name.substr(0, 4) == u"char"sv) {
    digits = name.substr(4);
  } else {
    return 0;
  }
  for (char16_t c : digits) {
    int digit;
    if (IsAsciiDigit(c)) {
      digit = c - u'0';
    } else if (base == 16 && c >= u'A' && c <= u'F') {
      digit = c - u'A' + 10;
    } else {
      return 0;
    }
    value = value * base + digit;
  }
  // Letters only: a decoded space or punctuation would change nothing a word is cut at.
  if (value > 0xFFFF || value < u'A') return 0;
  const char16_t c = static_cast<char16_t>(value);
  return IsAsciiLetter(c) || c >= 0xC0 ? c : 0;
}

class NroffFilter {
 public:
  explicit NroffFilter(std::u16string& text) : t_(text), addresses_(text) {}

  void Run() {
    size_t begin = 0;
    while (begin < t_.size()) {
      const size_t end = t_.LineEnd(begin);
      Line(begin, end);
      begin = end + 1;
    }
  }

 private:
  enum class Block { kNone, kDefinition, kEquation, kExample, kLiteral, kTableFormat, kTable };

  char16_t At(size_t i, size_t end) const { return i < end ? t_[i] : u'\0'; }

  void Hide(size_t from, size_t to) const { t_.Hide(from, to); }
  void Decode(size_t from, size_t to, char16_t c) const { t_.Decode(from, to, c); }

  void Line(size_t begin, size_t end) {
    const bool control = begin < end && (t_[begin] == u'.' || t_[begin] == u'\'');
    std::u16string name_copy;
    std::u16string_view name;
    size_t name_end = begin;
    if (control) {
      size_t i = begin + 1;
      while (i < end && IsBlank(t_[i])) ++i;
      name_end = i;
      if (At(i, end) == u'\\') {
        name_end = i + 1;  // `.\"`: a comment; any escape here makes no macro name
      } else {
        while (name_end < end && !IsBlank(t_[name_end]) && t_[name_end] != u'\r' &&
               t_[name_end] != u'\\') {
          ++name_end;
        }
      }
      name_copy = t_.substr(i, name_end - i);  // the name is hidden below
      name = name_copy;
    }

    switch (block_) {
      case Block::kNone:
        break;
      case Block::kDefinition:
        if (control && name == u"."sv) block_ = Block::kNone;
        return Hide(begin, end);
      case Block::kEquation:
        if (control && name == u"EN"sv) block_ = Block::kNone;
        return Hide(begin, end);
      case Block::kExample:
        if (control && (name == u"EE"sv || name == u"Ve"sv)) block_ = Block::kNone;
        return Hide(begin, end);
      case Block::kLiteral:
        if (control && name == u"Ed"sv) block_ = Block::kNone;
        return Hide(begin, end);
      case Block::kTableFormat: {
        if (control && name == u"TE"sv) {
          block_ = Block::kNone;
          return Hide(begin, end);
        }
        size_t last = end;
        while (last > begin && (IsBlank(t_[last - 1]) || t_[last - 1] == u'\r')) --last;
        const std::u16string_view line = std::u16string_view(t_).substr(begin, last - begin);
        if (!line.empty() && line.back() == u';') return Hide(begin, end);  // the options
        if (line.find_first_not_of(kTableFormatCharacters) == std::u16string_view::npos) {
          if (!line.empty() && line.back() == u'.') block_ = Block::kTable;
          return Hide(begin, end);
        }
        block_ = Block::kTable;  // a table without a format: its data begins here
        if (!control) return TableRow(begin, end);
        break;
      }
      case Block::kTable:
        if (control && name == u"TE"sv) {
          block_ = Block::kNone;
          return Hide(begin, end);
        }
        if (control && name == u"T&"sv) {
          block_ = Block::kTableFormat;
          return Hide(begin, end);
        }
        if (!control) return TableRow(begin, end);
        break;
    }

    if (!control) return Escapes(begin, end, false);
    Hide(begin, name_end);
    if (IsManTextMacro(name)) return Escapes(name_end, end, true);
    if (name == u"IP"sv) return ItemParagraph(name_end, end);
    if (const MdocMacro* mdoc = FindMdoc(name)) {
      if (name == u"Bd"sv &&
          std::u16string_view(t_).substr(name_end, end - name_end).find(u"-literal") !=
              std::u16string_view::npos) {
        block_ = Block::kLiteral;
      }
      return Mdoc(name_end, end, mdoc->text);
    }
    if (name == u"de"sv || name == u"de1"sv || name == u"am"sv || name == u"am1"sv ||
        name == u"ig"sv || name == u"dei"sv || name == u"ami"sv) {
      block_ = Block::kDefinition;
    } else if (name == u"EQ"sv) {
      block_ = Block::kEquation;
    } else if (name == u"EX"sv || name == u"Vb"sv) {  // Vb: the verbatim of pages made from POD
      block_ = Block::kExample;
    } else if (name == u"TS"sv) {
      block_ = Block::kTableFormat;
    }
    Hide(name_end, end);
  }

  // `.IP tag indent`: a tag that is a word is checked (bullets and numbers have none); the
  // indent is hidden.
  void ItemParagraph(size_t from, size_t end) {
    size_t i = from;
    while (i < end && IsBlank(t_[i])) ++i;
    size_t tag_end = i;
    if (At(i, end) == u'"') {
      tag_end = i + 1;
      while (tag_end < end && t_[tag_end] != u'"') ++tag_end;
      if (tag_end < end) ++tag_end;
    } else {
      while (tag_end < end && !IsBlank(t_[tag_end])) ++tag_end;
    }
    Escapes(from, tag_end, true);
    Hide(tag_end, end);
  }

  // An mdoc line after its first macro: each word is a macro (hidden, and it decides what
  // follows) or a word read as the last macro said.
  void Mdoc(size_t from, size_t end, bool text) {
    size_t i = from;
    while (i < end) {
      while (i < end && IsBlank(t_[i])) ++i;
      if (i >= end) break;
      size_t word_end = i;
      if (t_[i] == u'"') {
        ++word_end;
        while (word_end < end && t_[word_end] != u'"') ++word_end;
        if (word_end < end) ++word_end;
      } else {
        while (word_end < end && !IsBlank(t_[word_end])) ++word_end;
      }
      if (const MdocMacro* macro = FindMdoc(std::u16string_view(t_).substr(i, word_end - i))) {
        text = macro->text;
        Hide(i, word_end);
      } else if (text) {
        Escapes(i, word_end, true);
      } else {
        Hide(i, word_end);
      }
      i = word_end;
    }
  }

  // A row of table data: `T{` and `T}` open and close a text block in a cell.
  void TableRow(size_t begin, size_t end) {
    for (size_t i = begin; i + 1 < end; ++i) {
      if (t_[i] == u'T' && (t_[i + 1] == u'{' || t_[i + 1] == u'}') &&
          (i == begin || (!IsAsciiLetter(t_[i - 1]) && !IsAsciiDigit(t_[i - 1])))) {
        Hide(i, i + 2);
      }
    }
    Escapes(begin, end, false);
  }

  // Hides the escapes of [from, end), and the double quotes around arguments when `arguments`;
  // and the addresses (URLs, e-mail addresses, paths), read through the escapes inside them.
  void Escapes(size_t from, size_t end, bool arguments) {
    const bool addresses = MayHoldAddress(from, end);
    size_t i = from;
    size_t verbatim = from;  // the text from here to `i` reads as it is written
    while (i < end) {
      // Up to the next escape (or quote) nothing changes: passed over without reloading the text.
      const char16_t* const units = t_.text().data();
      while (i < end && units[i] != u'\\' && !(arguments && units[i] == u'"')) ++i;
      if (i == end) break;
      const size_t at = i;
      const char16_t reads_as = addresses && t_[i] == u'\\' ? InAddress(i, end) : u' ';
      if (addresses) addresses_.Verbatim(verbatim, i);
      if (t_[i] == u'\\') {
        i = Escape(i, end);
      } else {
        Hide(i, i + 1);
        ++i;
      }
      if (addresses) addresses_.Escape(at, i, reads_as);
      verbatim = i;
    }
    if (addresses) {
      addresses_.Verbatim(verbatim, end);
      addresses_.HideAddresses();
    }
  }

  // Whether [from, end) has what every address holds: a `/`, `:`, `@`, or a dot before more of
  // it (not a sentence's end). Most lines have none, and are not read for addresses.
  bool MayHoldAddress(size_t from, size_t end) const {
    const std::u16string_view line = std::u16string_view(t_).substr(0, end);
    for (size_t i = FindAnyOf(line, from, u'.', u'/', u':', u'@'); i < end;
         i = FindAnyOf(line, i + 1, u'.', u'/', u':', u'@')) {
      if (t_[i] != u'.' || (i + 1 < end && !IsBlank(t_[i + 1]) && t_[i + 1] != u'\r')) {
        return true;
      }
    }
    return false;
  }

  // What the escape at `i` stands for in an address: `\-` a hyphen, `\(ti` a tilde, `\:` and
  // `\&` (break points) and font changes nothing; 0 for nothing, a blank where it ends one.
  char16_t InAddress(size_t i, size_t end) const {
    const char16_t c = At(i + 1, end);
    switch (c) {
      case u'-':
      case u'.':
        return c;
      case u'e':
      case u'\\':
        return u'\\';
      case u'&':
      case u':':
      case u'%':
      case u'/':
      case u',':
      case u')':
      case u'c':
      case u'f':
      case u'F':
      case u's':
      case u'm':
      case u'M':
      case u'k':
        return 0;
      case u'(':
      case u'[': {
        size_t name_end = NameEnd(i + 1, end);
        if (c == u'[' && name_end > i + 2 && t_[name_end - 1] == u']') --name_end;
        const std::u16string_view name =
            std::u16string_view(t_).substr(i + 2, name_end > i + 2 ? name_end - i - 2 : 0);
        static constexpr std::pair<std::u16string_view, char16_t> kInAddresses[] = {
            {u"ti", u'~'}, {u"at", u'@'}, {u"sl", u'/'}, {u"hy", u'-'}, {u"rs", u'\\'},
            {u"ha", u'^'}, {u"sh", u'#'}, {u"pc", u'.'}, {u"ul", u'_'},
        };
        for (const auto& [known, character] : kInAddresses) {
          if (name == known) return character;
        }
        const char16_t letter = NamedLetter(name);
        return letter != 0 && letter != u'\'' && letter != u'\u2019' ? letter : u' ';
      }
      default:
        return u' ';
    }
  }

  // The end of a name argument at `i`: one character, `(xy`, or `[name]`.
  size_t NameEnd(size_t i, size_t end) const {
    if (i >= end) return end;
    if (t_[i] == u'(') return std::min(i + 3, end);
    if (t_[i] == u'[') {  // never past the line, so that each line is read once
      size_t close = i + 1;
      while (close < end && t_[close] != u']') ++close;
      return close < end ? close + 1 : end;
    }
    return i + 1;
  }

  // The end of a delimited argument at `i` (`'...'`).
  size_t DelimitedEnd(size_t i, size_t end) const {
    if (i >= end) return end;
    const char16_t delimiter = t_[i];
    size_t j = i + 1;
    while (j < end && t_[j] != delimiter) ++j;
    return j < end ? j + 1 : end;
  }

  size_t Escape(size_t i, size_t end) {
    if (i + 1 >= end) {  // a backslash ending the line joins it to the next
      Hide(i, end);
      return end;
    }
    const char16_t c = t_[i + 1];
    size_t stop = i + 2;
    switch (c) {
      case u'"':
      case u'#':
        stop = end;
        break;
      case u'f':
      case u'F':
      case u'k':
      case u'g':
      case u'm':
      case u'M':
      case u'Y':
      case u'V':
      case u'$':
      case u'*':
        stop = NameEnd(i + 2, end);
        break;
      case u'n':
        stop = NameEnd(At(i + 2, end) == u'+' || At(i + 2, end) == u'-' ? i + 3 : i + 2, end);
        break;
      case u's': {
        size_t j = i + 2;
        if (At(j, end) == u'+' || At(j, end) == u'-') ++j;
        const char16_t size = At(j, end);
        if (size == u'(') {
          stop = std::min(j + 3, end);
        } else if (size == u'[') {
          stop = NameEnd(j, end);
        } else if (size == u'\'') {
          stop = DelimitedEnd(j, end);
        } else if (IsAsciiDigit(size)) {
          stop = j + 1;
          if (size >= u'1' && size <= u'3' && IsAsciiDigit(At(j + 1, end))) ++stop;
        } else {
          stop = j;
        }
        break;
      }
      case u'(':
      case u'[': {
        stop = NameEnd(i + 1, end);
        const size_t name_end = c == u'[' && stop > i + 2 && t_[stop - 1] == u']' ? stop - 1 : stop;
        const char16_t letter = NamedLetter(
            std::u16string_view(t_).substr(i + 2, name_end > i + 2 ? name_end - i - 2 : 0));
        if (letter != 0) {
          Decode(i, stop, letter);
          return stop;
        }
        break;
      }
      case u'C':
      case u'N': {
        stop = DelimitedEnd(i + 2, end);
        if (stop >= i + 4) {
          std::u16string name(t_.substr(i + 3, stop - i - 4));
          if (c == u'N') name.insert(0, u"char");
          if (const char16_t letter = NamedLetter(name); letter != 0) {
            Decode(i, stop, letter);
            return stop;
          }
        }
        break;
      }
      case u'w':
      case u'h':
      case u'v':
      case u'l':
      case u'L':
      case u'o':
      case u'b':
      case u'x':
      case u'D':
      case u'Z':
      case u'X':
      case u'R':
      case u'A':
      case u'B':
      case u'S':
      case u'H':
        stop = DelimitedEnd(i + 2, end);
        break;
      case u'-':
        // A minus sign: what starts an option (`\-\-verbose`) or joins a compound.
        Decode(i, i + 2, u'-');
        return i + 2;
      case u'%':
      case u':':
      case u'&':
      case u')':
      case u'/':
      case u',':
        // Marks that print nothing: inside a word (`re\%use`) the word stays whole.
        if (i > 0 && IsAsciiLetter(t_[i - 1]) && IsAsciiLetter(At(i + 2, end))) {
          Decode(i, i + 2, kWordJoiner);
          return i + 2;
        }
        break;
      default:
        break;
    }
    Hide(i, stop);
    return stop;
  }

  TextCursor t_;
  Block block_ = Block::kNone;
  filter::AddressReading addresses_;
};

}  // namespace

void HideNroffMarkup(std::u16string& text) {
  NroffFilter(text).Run();
}

}  // namespace lexivane::frontend
