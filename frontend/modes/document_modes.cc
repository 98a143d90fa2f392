#include "frontend/modes/document_modes.h"

#include <algorithm>

#include "frontend/modes/mode_filters.h"
#include "frontend/modes/text_cursor.h"
#include "support/ascii.h"

namespace lexivane::frontend {

namespace {

struct KnownName {
  std::string_view name;  // an extension with its dot, or a whole file name
  DocumentMode mode;
};

constexpr KnownName kKnownNames[] = {
    {".md", DocumentMode::kMarkdown},
    {".markdown", DocumentMode::kMarkdown},
    {".html", DocumentMode::kHtml},
    {".htm", DocumentMode::kHtml},
    {".xhtml", DocumentMode::kXml},
    {".xml", DocumentMode::kXml},
    {".sgml", DocumentMode::kXml},
    {".svg", DocumentMode::kXml},
    // Formats written in XML: schemas and stylesheets, project files of Visual Studio and
    // MSBuild, property lists, feeds, Qt Designer forms.
    {".xsd", DocumentMode::kXml},
    {".xsl", DocumentMode::kXml},
    {".xslt", DocumentMode::kXml},
    {".vcxproj", DocumentMode::kXml},
    {".csproj", DocumentMode::kXml},
    {".props", DocumentMode::kXml},
    {".targets", DocumentMode::kXml},
    {".resx", DocumentMode::kXml},
    {".xaml", DocumentMode::kXml},
    {".plist", DocumentMode::kXml},
    {".rss", DocumentMode::kXml},
    {".atom", DocumentMode::kXml},
    {".ui", DocumentMode::kXml},
    {".tex", DocumentMode::kTex},
    {".latex", DocumentMode::kTex},
    {".sty", DocumentMode::kTex},
    {".cls", DocumentMode::kTex},
    {".bib", DocumentMode::kTex},
    {".man", DocumentMode::kNroff},
    {".1", DocumentMode::kNroff},
    {".2", DocumentMode::kNroff},
    {".3", DocumentMode::kNroff},
    {".4", DocumentMode::kNroff},
    {".5", DocumentMode::kNroff},
    {".6", DocumentMode::kNroff},
    {".7", DocumentMode::kNroff},
    {".8", DocumentMode::kNroff},
    {".9", DocumentMode::kNroff},
    {".c", DocumentMode::kCFamily},
    {".s", DocumentMode::kCFamily},  // assembly through the C preprocessor (.S): its comments
    {".dts", DocumentMode::kCFamily},
    {".dtsi", DocumentMode::kCFamily},
    {".h", DocumentMode::kCFamily},
    {".cc", DocumentMode::kCFamily},
    {".cpp", DocumentMode::kCFamily},
    {".cxx", DocumentMode::kCFamily},
    {".hh", DocumentMode::kCFamily},
    {".hpp", DocumentMode::kCFamily},
    {".hxx", DocumentMode::kCFamily},
    {".java", DocumentMode::kCFamily},
    {".js", DocumentMode::kCFamily},
    {".mjs", DocumentMode::kCFamily},
    {".cjs", DocumentMode::kCFamily},
    {".jsx", DocumentMode::kCFamily},
    {".ts", DocumentMode::kCFamily},
    {".tsx", DocumentMode::kCFamily},
    {".rs", DocumentMode::kCFamily},
    {".go", DocumentMode::kCFamily},
    {".cs", DocumentMode::kCFamily},
    {".swift", DocumentMode::kCFamily},
    {".kt", DocumentMode::kCFamily},
    {".scala", DocumentMode::kCFamily},
    {".py", DocumentMode::kPython},
    {".pyi", DocumentMode::kPython},
    {".sh", DocumentMode::kShell},
    {".bash", DocumentMode::kShell},
    {".zsh", DocumentMode::kShell},
    {".ksh", DocumentMode::kShell},
    {".rb", DocumentMode::kHashComments},
    {".pl", DocumentMode::kHashComments},
    {".pm", DocumentMode::kHashComments},
    {".cmake", DocumentMode::kHashComments},
    {".mk", DocumentMode::kHashComments},
    {".r", DocumentMode::kHashComments},
    {".dockerfile", DocumentMode::kHashComments},
    {"makefile", DocumentMode::kHashComments},
    {"gnumakefile", DocumentMode::kHashComments},
    {"cmakelists.txt", DocumentMode::kHashComments},
    {"dockerfile", DocumentMode::kHashComments},
    {"containerfile", DocumentMode::kHashComments},
    {"kbuild", DocumentMode::kHashComments},
    {"defconfig", DocumentMode::kHashComments},
    {"kconfig", DocumentMode::kKconfig},
    {".m4", DocumentMode::kM4},
    {".ac", DocumentMode::kM4},
    {"configure.in", DocumentMode::kM4},
    {".ini", DocumentMode::kIni},
    {".cfg", DocumentMode::kIni},
    {".conf", DocumentMode::kIni},
    {".rst", DocumentMode::kRestructuredText},
    {".rest", DocumentMode::kRestructuredText},
    {".yaml", DocumentMode::kYaml},
    {".yml", DocumentMode::kYaml},
    {".toml", DocumentMode::kToml},
    {".json", DocumentMode::kJson},
    {".jsonc", DocumentMode::kJson},
};

// Interpreters a script's first line may name, by their name less a version (`python3.12`).
constexpr KnownName kInterpreters[] = {
    {"sh", DocumentMode::kShell},          {"bash", DocumentMode::kShell},
    {"dash", DocumentMode::kShell},        {"ash", DocumentMode::kShell},
    {"zsh", DocumentMode::kShell},         {"ksh", DocumentMode::kShell},
    {"mksh", DocumentMode::kShell},        {"python", DocumentMode::kPython},
    {"pypy", DocumentMode::kPython},       {"perl", DocumentMode::kHashComments},
    {"ruby", DocumentMode::kHashComments}, {"rscript", DocumentMode::kHashComments},
    {"make", DocumentMode::kHashComments}, {"node", DocumentMode::kCFamily},
    {"deno", DocumentMode::kCFamily},
};

// The mode of the interpreter an interpreter line names: its program, or with `env` the
// program env runs (its options and assignments skipped).
DocumentMode InterpreterMode(std::string_view first_line) {
  const std::size_t length = InterpreterLineLength(first_line);
  std::string_view rest = first_line.substr(2, length - 2);
  bool after_env = false;
  while (!rest.empty()) {
    const std::size_t start = rest.find_first_not_of(" \t\r");
    if (start == rest.npos) break;
    rest.remove_prefix(start);
    const std::string_view word = rest.substr(0, rest.find_first_of(" \t\r"));
    rest.remove_prefix(word.size());
    if (after_env && (word.front() == '-' || word.find('=') != word.npos)) continue;
    std::string program = support::AsciiLowered(word.substr(word.find_last_of('/') + 1));
    if (program == "env" && !after_env) {
      after_env = true;
      continue;
    }
    while (!program.empty() && (support::IsAsciiDigit(program.back()) || program.back() == '.')) {
      program.pop_back();
    }
    for (const KnownName& known : kInterpreters) {
      if (known.name == program) return known.mode;
    }
    break;
  }
  return DocumentMode::kNone;
}

// The modes of Emacs's major modes and Vim's file types that a file's first line may name
// (`-*- shell-script -*-`, `-*- mode: python; coding: utf-8 -*-`, `vim: set ft=sh:`), less a
// `-mode` or `-ts` ending; in small letters.
constexpr KnownName kEditorModes[] = {
    {"sh", DocumentMode::kShell},
    {"shell-script", DocumentMode::kShell},
    {"bash", DocumentMode::kShell},
    {"ksh", DocumentMode::kShell},
    {"zsh", DocumentMode::kShell},
    {"python", DocumentMode::kPython},
    {"c", DocumentMode::kCFamily},
    {"c++", DocumentMode::kCFamily},
    {"cpp", DocumentMode::kCFamily},
    {"java", DocumentMode::kCFamily},
    {"js", DocumentMode::kCFamily},
    {"javascript", DocumentMode::kCFamily},
    {"typescript", DocumentMode::kCFamily},
    {"go", DocumentMode::kCFamily},
    {"rust", DocumentMode::kCFamily},
    {"perl", DocumentMode::kHashComments},
    {"cperl", DocumentMode::kHashComments},
    {"ruby", DocumentMode::kHashComments},
    {"make", DocumentMode::kHashComments},
    {"makefile", DocumentMode::kHashComments},
    {"makefile-gmake", DocumentMode::kHashComments},
    {"makefile-automake", DocumentMode::kHashComments},
    {"cmake", DocumentMode::kHashComments},
    {"autoconf", DocumentMode::kM4},
    {"m4", DocumentMode::kM4},
    {"tex", DocumentMode::kTex},
    {"latex", DocumentMode::kTex},
    {"plain-tex", DocumentMode::kTex},
    {"nroff", DocumentMode::kNroff},
    {"markdown", DocumentMode::kMarkdown},
    {"gfm", DocumentMode::kMarkdown},
    {"html", DocumentMode::kHtml},
    {"xml", DocumentMode::kXml},
    {"nxml", DocumentMode::kXml},
    {"rst", DocumentMode::kRestructuredText},
    {"yaml", DocumentMode::kYaml},
    {"toml", DocumentMode::kToml},
    {"json", DocumentMode::kJson},
};

DocumentMode EditorModeNamed(std::string_view name) {
  for (const std::string_view ending : {"-mode", "-ts"}) {
    if (name.ends_with(ending)) name.remove_suffix(ending.size());
  }
  for (const KnownName& known : kEditorModes) {
    if (known.name == name) return known.mode;
  }
  return DocumentMode::kNone;
}

// The value of `key` in a line of `key: value` or `key=value` settings, separated by `;`,
// blanks or `:`; empty when not there.
std::string_view SettingIn(std::string_view settings, std::string_view key) {
  for (std::size_t at = settings.find(key); at != settings.npos; at = settings.find(key, at + 1)) {
    const bool starts =
        at == 0 || std::string_view(" \t;:").find(settings[at - 1]) != settings.npos;
    std::size_t value = at + key.size();
    while (value < settings.size() && settings[value] == ' ') ++value;
    if (!starts || value == settings.size() || (settings[value] != ':' && settings[value] != '=')) {
      continue;
    }
    value = settings.find_first_not_of(' ', value + 1);
    if (value == settings.npos) return {};
    return settings.substr(value, settings.find_first_of(" \t;:", value) - value);
  }
  return {};
}

// The mode an editor's mode line in `line` names: Emacs's `-*- MODE -*-` or `-*- mode:
// MODE; ... -*-`, or Vim's `vim: ft=TYPE` (`filetype=` too, `vi:` and `ex:` as well); kNone
// without one.
DocumentMode EditorMode(std::string_view line) {
  const std::string lowered = support::AsciiLowered(line);  // `Mode: Python`
  const std::string_view first_line = lowered;
  if (const std::size_t open = first_line.find("-*-"); open != first_line.npos) {
    const std::size_t close = first_line.find("-*-", open + 3);
    if (close == first_line.npos) return DocumentMode::kNone;
    std::string_view inside = first_line.substr(open + 3, close - open - 3);
    if (inside.find(':') != inside.npos) return EditorModeNamed(SettingIn(inside, "mode"));
    const std::size_t start = inside.find_first_not_of(' ');
    if (start == inside.npos) return DocumentMode::kNone;
    inside = inside.substr(start, inside.find_last_not_of(' ') + 1 - start);
    return EditorModeNamed(inside);
  }
  for (const std::string_view editor : {"vim:", "vi:", "ex:"}) {
    const std::size_t at = first_line.find(editor);
    if (at == first_line.npos || (at > 0 && first_line[at - 1] != ' ')) continue;
    const std::string_view settings = first_line.substr(at + editor.size());
    std::string_view type = SettingIn(settings, "filetype");
    if (type.empty()) type = SettingIn(settings, "ft");
    return EditorModeNamed(type);
  }
  return DocumentMode::kNone;
}

}  // namespace

const std::vector<ModeName>& ModeNames() {
  static const std::vector<ModeName> names = {
      {"none", DocumentMode::kNone},
      {"url", DocumentMode::kUrl},
      {"markdown", DocumentMode::kMarkdown},
      {"html", DocumentMode::kHtml},
      {"xml", DocumentMode::kXml},
      {"sgml", DocumentMode::kXml},
      {"tex", DocumentMode::kTex},
      {"nroff", DocumentMode::kNroff},
      {"ccpp", DocumentMode::kCFamily},
      {"comment", DocumentMode::kHashComments},
      {"shell", DocumentMode::kShell},
      {"python", DocumentMode::kPython},
      {"m4", DocumentMode::kM4},
      {"ini", DocumentMode::kIni},
      {"rst", DocumentMode::kRestructuredText},
      {"yaml", DocumentMode::kYaml},
      {"toml", DocumentMode::kToml},
      {"json", DocumentMode::kJson},
      {"kconfig", DocumentMode::kKconfig},
  };
  return names;
}

std::optional<DocumentMode> ModeNamed(std::string_view name) {
  for (const ModeName& known : ModeNames()) {
    if (known.name == name) return known.mode;
  }
  return std::nullopt;
}

std::string_view NameOf(DocumentMode mode) {
  for (const ModeName& known : ModeNames()) {
    if (known.mode == mode) return known.name;
  }
  return "none";
}

DocumentMode ModeForFile(std::string_view file_name) {
  const std::string base = support::AsciiLowered(file_name.substr(file_name.find_last_of('/') + 1));
  for (const KnownName& known : kKnownNames) {
    if (known.name.front() != '.' && base == known.name) return known.mode;
  }
  // Dockerfile.dev, Makefile.am, Kconfig.debug, x86_64_defconfig: the parts and variants of a
  // project's image, build and configuration.
  if (base.starts_with("dockerfile.") || base.starts_with("makefile.") ||
      base.ends_with("_defconfig")) {
    return DocumentMode::kHashComments;
  }
  if (base.starts_with("kconfig.")) return DocumentMode::kKconfig;
  const std::size_t dot = base.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return DocumentMode::kNone;
  const std::string_view extension = std::string_view(base).substr(dot);
  for (const KnownName& known : kKnownNames) {
    if (known.name == extension) return known.mode;
  }
  return DocumentMode::kNone;
}

DocumentMode ModeForFile(std::string_view file_name, std::string_view first_line) {
  const DocumentMode by_name = ModeForFile(file_name);
  if (by_name != DocumentMode::kNone) return by_name;
  return InterpreterLineLength(first_line) > 0 ? InterpreterMode(first_line)
                                               : EditorMode(first_line);
}

CodeIdentifiers CodeIdentifiersIn(DocumentMode mode, bool check_identifiers) {
  const bool code = mode == DocumentMode::kCFamily || mode == DocumentMode::kHashComments ||
                    mode == DocumentMode::kShell || mode == DocumentMode::kPython ||
                    mode == DocumentMode::kM4 || mode == DocumentMode::kIni;
  return check_identifiers && code ? CodeIdentifiers::kChecked : CodeIdentifiers::kHidden;
}

bool HidesAnythingIn(DocumentMode mode, std::u16string_view text) {
  return mode != DocumentMode::kNone || InterpreterLineLength(text) > 0;
}

void HideNonProse(std::u16string& text, DocumentMode mode, CodeIdentifiers identifiers) {
  TextCursor(text).Hide(0, InterpreterLineLength(std::u16string_view(text)));
  switch (mode) {
    case DocumentMode::kNone:
      return;
    case DocumentMode::kUrl:
      return HideUrls(text);
    case DocumentMode::kMarkdown:
      return HideMarkdownMarkup(text);
    case DocumentMode::kHtml:
      return HideHtmlMarkup(text, false);
    case DocumentMode::kXml:
      return HideHtmlMarkup(text, true);
    case DocumentMode::kTex:
      return HideTexMarkup(text);
    case DocumentMode::kNroff:
      return HideNroffMarkup(text);
    case DocumentMode::kCFamily:
      return KeepCFamilyCommentsAndStrings(text, identifiers);
    case DocumentMode::kHashComments:
      return KeepHashComments(text, identifiers);
    case DocumentMode::kShell:
      return KeepShellCommentsAndStrings(text, identifiers);
    case DocumentMode::kPython:
      return KeepPythonCommentsAndStrings(text, identifiers);
    case DocumentMode::kM4:
      return KeepM4Comments(text, identifiers);
    case DocumentMode::kIni:
      return KeepIniComments(text, identifiers);
    case DocumentMode::kRestructuredText:
      return HideRestructuredTextMarkup(text);
    case DocumentMode::kYaml:
      return KeepYamlProse(text);
    case DocumentMode::kToml:
      return KeepTomlProse(text);
    case DocumentMode::kJson:
      return KeepJsonProse(text);
    case DocumentMode::kKconfig:
      return KeepKconfigProse(text);
  }
}

bool HidesOnly(DocumentMode mode) {
  switch (mode) {
    case DocumentMode::kMarkdown:  // its HTML has entities
    case DocumentMode::kHtml:
    case DocumentMode::kXml:
    case DocumentMode::kTex:
    case DocumentMode::kNroff:
      return false;
    case DocumentMode::kNone:
    case DocumentMode::kUrl:
    case DocumentMode::kCFamily:
    case DocumentMode::kHashComments:
    case DocumentMode::kShell:
    case DocumentMode::kPython:
    case DocumentMode::kM4:
    case DocumentMode::kIni:
    case DocumentMode::kRestructuredText:
    case DocumentMode::kYaml:
    case DocumentMode::kToml:
    case DocumentMode::kJson:
    case DocumentMode::kKconfig:
      return true;
  }
  return false;
}

}  // namespace lexivane::frontend
