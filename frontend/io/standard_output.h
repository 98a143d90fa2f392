// Standard output that never loses text silently. While a StandardOutput object lives,
// std::cout writes through a buffer of its own that keeps the system's reason when a write
// fails (a full disk, /dev/full, a reader that closed its end of the pipe), which an iostream
// would drop. Commands call CheckStandardOutput after each record they print, so that a
// failure ends them at once; main flushes at the end with Finish. One object, on the main
// thread, for the whole run of the tool.
#pragma once

#include <memory>
#include <streambuf>

namespace lexivane::frontend {

class StandardOutput {
 public:
  StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;
  ~StandardOutput();  // gives std::cout its own buffer back; writes nothing

  // Writes out what is buffered. Throws CommandError when this or any earlier write failed.
  void Finish();

 private:
  std::unique_ptr<std::streambuf> buffer_;
  std::streambuf* replaced_;
};

// Throws CommandError ("cannot write to standard output: REASON") when a write to std::cout
// has failed.
void CheckStandardOutput();

}  // namespace lexivane::frontend
