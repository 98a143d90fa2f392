// How a front end ends: the exit codes every command of the tool shares, and the one failure
// type that carries a message for the person.
//
// Exit codes: 0 success (nothing found), 1 misspellings found (or a correction cancelled), 2 a
// usage or file error. CommandError is what a front end throws when it cannot do what it was
// asked; the tool prints its message and exits with kExitError, the language server and the
// pipe report it and go on.
#pragma once

#include <stdexcept>

namespace lexivane::frontend {

inline constexpr int kExitClean = 0;
inline constexpr int kExitFound = 1;
inline constexpr int kExitError = 2;

class CommandError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace lexivane::frontend
