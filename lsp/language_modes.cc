#include "lsp/language_modes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace lexivane::frontend::lsp {

namespace {

// The identifiers editors send (those of the protocol's list, and a few that Neovim and Helix
// send for the same languages). Plain text is checked whole, as the tool checks a .txt file.
constexpr std::array<std::pair<std::string_view, DocumentMode>, 44> kLanguages = {{
    {"plaintext", DocumentMode::kNone},
    {"text", DocumentMode::kNone},
    {"markdown", DocumentMode::kMarkdown},
    {"html", DocumentMode::kHtml},
    {"xml", DocumentMode::kXml},
    {"xsl", DocumentMode::kXml},
    {"svg", DocumentMode::kXml},
    {"latex", DocumentMode::kTex},
    {"tex", DocumentMode::kTex},
    {"plaintex", DocumentMode::kTex},
    {"bibtex", DocumentMode::kTex},
    {"c", DocumentMode::kCFamily},
    {"cpp", DocumentMode::kCFamily},
    {"java", DocumentMode::kCFamily},
    {"javascript", DocumentMode::kCFamily},
    {"javascriptreact", DocumentMode::kCFamily},
    {"typescript", DocumentMode::kCFamily},
    {"typescriptreact", DocumentMode::kCFamily},
    {"rust", DocumentMode::kCFamily},
    {"go", DocumentMode::kCFamily},
    {"csharp", DocumentMode::kCFamily},
    {"swift", DocumentMode::kCFamily},
    {"kotlin", DocumentMode::kCFamily},
    {"python", DocumentMode::kPython},
    {"shellscript", DocumentMode::kShell},
    {"ruby", DocumentMode::kHashComments},
    {"perl", DocumentMode::kHashComments},
    {"yaml", DocumentMode::kYaml},
    {"toml", DocumentMode::kToml},
    {"json", DocumentMode::kJson},
    {"jsonc", DocumentMode::kJson},
    {"restructuredtext", DocumentMode::kRestructuredText},
    {"rst", DocumentMode::kRestructuredText},
    {"ini", DocumentMode::kIni},
    {"dosini", DocumentMode::kIni},
    {"m4", DocumentMode::kM4},
    {"kconfig", DocumentMode::kKconfig},
    {"cmake", DocumentMode::kHashComments},
    {"makefile", DocumentMode::kHashComments},
    {"dockerfile", DocumentMode::kHashComments},
    {"groff", DocumentMode::kNroff},
    {"nroff", DocumentMode::kNroff},
    {"man", DocumentMode::kNroff},
    {"troff", DocumentMode::kNroff},
}};

// The last segment of the URI's path: enough for ModeForFile, which looks at the extension or
// the whole name.
std::string_view FileNameOf(std::string_view uri) {
  uri = uri.substr(0, std::min(uri.find('?'), uri.find('#')));
  if (const std::size_t slash = uri.rfind('/'); slash != std::string_view::npos) {
    uri.remove_prefix(slash + 1);
  }
  return uri;
}

}  // namespace

DocumentMode ModeOfDocument(std::string_view language_id, std::string_view uri) {
  for (const auto& [id, mode] : kLanguages) {
    if (id == language_id) return mode;
  }
  const std::string_view name = FileNameOf(uri);
  return name.empty() ? DocumentMode::kNone : ModeForFile(name);
}

}  // namespace lexivane::frontend::lsp
