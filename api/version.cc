#include "lexivane/version.h"

namespace lexivane {

const char* Version() noexcept {
  return LEXIVANE_VERSION_STRING;
}

}  // namespace lexivane
