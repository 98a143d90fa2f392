// Terminal: the process's controlling terminal (/dev/tty) in raw mode, for the terminal front
// end of `lexivane fix`, which reads single key presses and draws on it whatever standard input
// and output are.
//
// Raw mode lasts as long as the object: the destructor restores the settings the terminal had,
// and so does every signal that ends or stops the process (Ctrl-C, a hang-up, a kill, a crash),
// before the signal takes its usual course. After Ctrl-Z and `fg` raw mode is set again and
// `resumed()` tells the owner to draw afresh. Ctrl-C and Ctrl-Z keep their usual meaning. One
// object at a time, on the main thread.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

namespace lexivane::frontend::fix {

struct Key {
  enum class Kind { kTimeout, kText, kEnter, kEscape, kBackspace, kOther };
  Kind kind = Kind::kTimeout;
  std::string text;  // kText: the UTF-8 of one or more typed characters
};

class Terminal {
 public:
  // The controlling terminal in raw mode, or nullptr when the process has none.
  static std::unique_ptr<Terminal> Open();
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  ~Terminal();

  // Throws CommandError when the terminal cannot be written.
  void Write(std::string_view text);

  // The next key press, or kTimeout when none came within `timeout`. An arrow or function key
  // (an escape sequence) is one kOther key. Throws CommandError when the terminal went away.
  Key ReadKey(std::chrono::milliseconds timeout);

  // True once after the process was stopped and continued.
  bool resumed();

 private:
  explicit Terminal(int fd);
  int fd_;
};

}  // namespace lexivane::frontend::fix
