#include "fix/document_prose.h"

namespace lexivane::frontend::fix {

namespace {

// The characters at which the text check run cuts its tokens (docs/text-check.md).
bool IsRunDelimiter(char16_t c) {
  return std::u16string_view(u"\t\r\n \"/?.;:,\\()[]{}<>|!-").find(c) != std::u16string_view::npos;
}

}  // namespace

std::u16string DocumentProse(std::u16string_view document, DocumentMode mode) {
  std::u16string prose(document);
  if (!HidesAnythingIn(mode, document)) return prose;
  HideNonProse(prose, mode);
  for (std::size_t i = 0; i < prose.size();) {
    if (IsRunDelimiter(prose[i])) {
      ++i;
      continue;
    }
    std::size_t end = i;
    bool decoded = false;
    for (; end < prose.size() && !IsRunDelimiter(prose[end]); ++end) {
      decoded = decoded || prose[end] != document[end];
    }
    if (decoded) prose.replace(i, end - i, end - i, u' ');
    i = end;
  }
  return prose;
}

}  // namespace lexivane::frontend::fix
