#include "lexivane/error.h"

namespace lexivane {

Error::Error(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

// Out of line, so that the library holds the one copy of Error's type information.
Error::~Error() = default;

int Error::number() const noexcept {
  return number_;
}

}  // namespace lexivane
