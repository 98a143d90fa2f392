// The one exception type that Lexivane throws to its host.
//
// Queries never throw on odd input; an operation that cannot do what it was asked (a custom
// dictionary that cannot be written, a word list that cannot be loaded) throws lexivane::Error
// with the platform's error number and a description that names what failed.
#pragma once

#include <stdexcept>
#include <string>

namespace lexivane {

class Error : public std::runtime_error {
 public:
  Error(int number, const std::string& description)
      : std::runtime_error(description), number_(number) {}

  // The platform's error number: errno on POSIX, the Win32 error code on Windows.
  int number() const noexcept { return number_; }

 private:
  int number_;
};

}  // namespace lexivane
