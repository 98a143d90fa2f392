#include "frontend/mode_filters.h"

namespace lexivane::frontend {

void HideTexMarkup(std::u16string&) {}

}  // namespace lexivane::frontend
