#include "frontend/mode_filters.h"

namespace lexivane::frontend {

void KeepCFamilyCommentsAndStrings(std::u16string&) {}
void KeepHashComments(std::u16string&) {}
void KeepPythonCommentsAndStrings(std::u16string&) {}

}  // namespace lexivane::frontend
