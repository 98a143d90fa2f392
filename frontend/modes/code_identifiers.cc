#include "frontend/modes/code_identifiers.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "frontend/modes/find_units.h"
#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"
#include "frontend/words/running_words.h"

namespace lexivane::frontend {

using namespace std::string_view_literals;

namespace {

using Keywords = std::unordered_set<std::u16string_view>;

// The keywords of C, C++, Java, JavaScript, TypeScript, Rust, Go, C#, Swift and Kotlin, and
// their built-in type names, all at once: a file's language within the mode is not known.
const Keywords& CFamilyKeywords() {
  static const Keywords keywords = {
      // C and C++, with the preprocessor's words
      u"alignas", u"alignof", u"asm", u"auto", u"bool", u"break", u"case", u"catch", u"char",
      u"char8_t", u"char16_t", u"char32_t", u"class", u"co_await", u"co_return", u"co_yield",
      u"concept", u"const", u"consteval", u"constexpr", u"constinit", u"const_cast", u"continue",
      u"decltype", u"default", u"delete", u"do", u"double", u"dynamic_cast", u"else", u"enum",
      u"explicit", u"export", u"extern", u"false", u"float", u"for", u"friend", u"goto", u"if",
      u"inline", u"int", u"long", u"mutable", u"namespace", u"new", u"noexcept", u"nullptr",
      u"operator", u"private", u"protected", u"public", u"register", u"reinterpret_cast",
      u"requires", u"return", u"short", u"signed", u"sizeof", u"static", u"static_assert",
      u"static_cast", u"struct", u"switch", u"template", u"this", u"thread_local", u"throw",
      u"true", u"try", u"typedef", u"typeid", u"typename", u"union", u"unsigned", u"using",
      u"virtual", u"void", u"volatile", u"wchar_t", u"while", u"define", u"elif", u"endif",
      u"ifdef", u"ifndef", u"pragma", u"undef", u"size_t", u"ssize_t", u"ptrdiff_t", u"intptr_t",
      u"uintptr_t", u"int8_t", u"int16_t", u"int32_t", u"int64_t", u"uint8_t", u"uint16_t",
      u"uint32_t", u"uint64_t", u"std", u"NULL",
      // Java, JavaScript and TypeScript
      u"abstract", u"boolean", u"byte", u"extends", u"final", u"finally", u"implements", u"import",
      u"instanceof", u"interface", u"native", u"package", u"strictfp", u"super", u"synchronized",
      u"throws", u"transient", u"var", u"async", u"await", u"debugger", u"function", u"let", u"of",
      u"typeof", u"yield", u"undefined", u"null", u"NaN", u"readonly", u"declare", u"keyof",
      u"infer",
      // Rust and Go
      u"as", u"crate", u"dyn", u"fn", u"impl", u"loop", u"match", u"mod", u"move", u"mut", u"pub",
      u"ref", u"self", u"Self", u"trait", u"type", u"unsafe", u"use", u"where", u"i8", u"i16",
      u"i32", u"i64", u"i128", u"isize", u"u8", u"u16", u"u32", u"u64", u"u128", u"usize", u"f32",
      u"f64", u"str", u"chan", u"defer", u"fallthrough", u"func", u"go", u"map", u"range",
      u"select", u"rune", u"uint", u"uintptr", u"float32", u"float64", u"complex64", u"complex128",
      u"iota", u"nil",
      // C#, Swift and Kotlin
      u"base", u"checked", u"decimal", u"delegate", u"event", u"fixed", u"foreach", u"implicit",
      u"in", u"internal", u"is", u"lock", u"object", u"out", u"override", u"params", u"sbyte",
      u"sealed", u"stackalloc", u"string", u"ulong", u"unchecked", u"ushort", u"associatedtype",
      u"deinit", u"extension", u"fileprivate", u"guard", u"init", u"inout", u"open", u"protocol",
      u"repeat", u"rethrows", u"subscript", u"typealias", u"fun", u"val", u"companion", u"data",
      u"when", u"lateinit", u"vararg"};
  return keywords;
}

const Keywords& PythonKeywords() {
  static const Keywords keywords = {
      u"False",   u"None",    u"True",       u"and",       u"as",       u"assert", u"async",
      u"await",   u"break",   u"class",      u"continue",  u"def",      u"del",    u"elif",
      u"else",    u"except",  u"finally",    u"for",       u"from",     u"global", u"if",
      u"import",  u"in",      u"is",         u"lambda",    u"nonlocal", u"not",    u"or",
      u"pass",    u"raise",   u"return",     u"try",       u"while",    u"with",   u"yield",
      u"self",    u"cls",     u"args",       u"kwargs",    u"len",      u"str",    u"int",
      u"dict",    u"tuple",   u"isinstance", u"enumerate", u"repr",     u"bool",   u"iter",
      u"setattr", u"getattr", u"hasattr"};
  return keywords;
}

// The shell's keywords and builtins.
const Keywords& ShellKeywords() {
  static const Keywords keywords = {
      u"if",    u"then",   u"else",   u"elif",   u"fi",       u"case",     u"esac",    u"for",
      u"while", u"until",  u"do",     u"done",   u"in",       u"function", u"select",  u"time",
      u"echo",  u"printf", u"local",  u"export", u"readonly", u"declare",  u"typeset", u"unset",
      u"shift", u"exit",   u"return", u"source", u"eval",     u"exec",     u"trap",    u"set",
      u"test",  u"cd",     u"pwd",    u"env",    u"sh",       u"bash"};
  return keywords;
}

const Keywords& KeywordsOf(CodeLanguage language) {
  switch (language) {
    case CodeLanguage::kCFamily:
      return CFamilyKeywords();
    case CodeLanguage::kPython:
      return PythonKeywords();
    case CodeLanguage::kHash:
      break;
  }
  return ShellKeywords();
}

bool IsIdentifierUnit(char16_t c) {
  return IsAsciiAlnum(c) || c == u'_' || (c >= 0x80 && c != kWordJoiner);
}

// `#include <file>` or `#import "file"`, from the `#` at `at` to the end of its line.
bool IsIncludeLine(std::u16string_view text, std::size_t at) {
  std::size_t i = at + 1;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  const std::u16string_view rest = text.substr(i, 7);
  return rest == u"include"sv || rest.substr(0, 6) == u"import"sv;
}

}  // namespace

void HideCodeButIdentifiers(std::u16string& text, std::size_t from, std::size_t to,
                            CodeLanguage language) {
  to = std::min(to, text.size());
  if (from >= to) return;
  if (language == CodeLanguage::kHash) {  // paths; addresses are rare in code, but hidden too
    HideUrls(text, from, to);
  }
  const Keywords& keywords = KeywordsOf(language);
  const std::u16string_view view(text);
  std::size_t i = from;
  char16_t before = from > 0 ? view[from - 1] : 0;  // as written, before any blanking
  while (i < to) {
    if (!IsIdentifierUnit(text[i])) {
      std::size_t j = i + 1;
      if (language == CodeLanguage::kCFamily && text[i] == u'#' && IsIncludeLine(view, i)) {
        j = FindAnyOf(view.substr(0, to), i, u'\n');
      }
      while (j < to && !IsIdentifierUnit(text[j])) ++j;
      before = text[j - 1];
      TextCursor(text).Hide(i, j);
      i = j;
      continue;
    }
    std::size_t j = i;
    while (j < to && IsIdentifierUnit(text[j])) ++j;
    const char16_t after = j < view.size() ? view[j] : 0;
    const std::u16string_view name = view.substr(i, j - i);
    // A literal's prefix comes right before its quote (or Rust's `#`), a lifetime or character
    // literal right after one; a shell option after a `-`.
    const bool prefix =
        after == u'"' || after == u'\'' || (language == CodeLanguage::kCFamily && after == u'#');
    const bool code = IsAsciiDigit(text[i]) || keywords.contains(name) || name.starts_with(u"__") ||
                      prefix || before == u'\'' ||
                      (language == CodeLanguage::kHash && before == u'-');
    if (code) TextCursor(text).Hide(i, j);
    i = j;
  }
}

}  // namespace lexivane::frontend
