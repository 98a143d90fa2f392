#include "frontend/mode_filters.h"

namespace lexivane::frontend {

void HideMarkdownMarkup(std::u16string&) {}
void HideHtmlMarkup(std::u16string&, bool) {}

}  // namespace lexivane::frontend
