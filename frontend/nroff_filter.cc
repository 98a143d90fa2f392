#include "frontend/mode_filters.h"

namespace lexivane::frontend {

void HideNroffMarkup(std::u16string&) {}

}  // namespace lexivane::frontend
