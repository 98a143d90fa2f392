#include "frontend/mode_filters.h"

namespace lexivane::frontend {

void HideUrls(std::u16string&) {}

}  // namespace lexivane::frontend
