#include "fix/terminal_dialog_view.h"

#include <algorithm>
#include <chrono>

#include "lexivane/utf8.h"
#include "support/ascii.h"

namespace lexivane::frontend::fix {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr DialogButton kButtons[] = {
    DialogButton::Change,  DialogButton::ChangeAll, DialogButton::Ignore, DialogButton::IgnoreAll,
    DialogButton::AddWord, DialogButton::Suggest,   DialogButton::Cancel};
constexpr std::size_t kNumbered = 9;  // suggestions with a key of their own
constexpr std::size_t kContext = 40;  // code units of the line shown on each side of the word
constexpr const char* kReverse = "\x1b[7m";
constexpr const char* kDim = "\x1b[2m";
constexpr const char* kPlain = "\x1b[0m";

// The button's access key (the character after "&" in its caption), in lower case.
char AccessKey(DialogButton button) {
  const std::u16string_view caption = SuggestionsDialog::ControlFor(button).caption;
  const std::size_t amp = caption.find(u'&');
  return static_cast<char>(support::AsciiLower(caption[amp + 1]));
}

std::string Label(DialogButton button) {
  std::u16string caption(SuggestionsDialog::ControlFor(button).caption);
  caption.erase(std::remove(caption.begin(), caption.end(), u'&'), caption.end());
  return ToUtf8(caption);
}

// Text of the file as the terminal may show it: control characters (tabs and the C1 range
// included) drawn as blanks, so that they cannot move the cursor or change colours.
std::string Printable(std::u16string_view text) {
  std::u16string shown(text);
  for (char16_t& c : shown) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) c = u' ';
  }
  return ToUtf8(shown);
}

}  // namespace

void TerminalDialogView::Draw(const SuggestionsDialog& dialog) {
  std::string out = "\n";
  if (word_.line_number > 0) {
    const std::u16string_view line = word_.line;
    const std::size_t from = word_.word_start > kContext ? word_.word_start - kContext : 0;
    const std::size_t after = word_.word_start + word_.word_length;
    const std::size_t to = std::min(line.size(), after + kContext);
    out += "line " + std::to_string(word_.line_number) + ": " + (from > 0 ? "..." : "") +
           Printable(line.substr(from, word_.word_start - from)) + kReverse +
           Printable(line.substr(word_.word_start, word_.word_length)) + kPlain +
           Printable(line.substr(after, to - after)) + (to < line.size() ? "..." : "") + "\n";
  } else {
    out += Printable(dialog.Caption()) + "\n";
  }
  out += "  Change to: " + Printable(dialog.ChangeToText()) + "\n  Suggestions:";
  const auto& suggestions = dialog.Suggestions();
  if (suggestions.empty()) out += " (none)";
  for (std::size_t i = 0; i < std::min(suggestions.size(), kNumbered); ++i) {
    const bool selected = static_cast<int>(i) == dialog.SelectedIndex();
    out += std::string(selected ? " >" : "  ") + std::to_string(i + 1) + " " +
           Printable(suggestions[i]);
  }
  if (suggestions.size() > kNumbered) {
    out += "  (+" + std::to_string(suggestions.size() - kNumbered) + " more)";
  }
  out += "\n ";
  for (const DialogButton button : kButtons) {
    if (!dialog.IsVisible(button)) continue;
    const std::string label = std::string(1, AccessKey(button)) + " " + Label(button);
    out += dialog.IsEnabled(button) ? " " + label
                                    : std::string(" ") + kDim + "(" + label + ")" + kPlain;
  }
  out += "\n  1-9 pick   t or = type a replacement   Enter Change   Esc Ignore\n> ";
  terminal_.Write(out);
}

void TerminalDialogView::DrawTyping() {
  terminal_.Write("\r\x1b[K  Change to: " + *typing_);
}

void TerminalDialogView::HandleKey(SuggestionsDialog& dialog, const Key& key) {
  if (typing_) {
    switch (key.kind) {
      case Key::Kind::kText:
        *typing_ += key.text;
        break;
      case Key::Kind::kBackspace:
        // One character: its continuation bytes, then its first byte.
        while (!typing_->empty() && (static_cast<unsigned char>(typing_->back()) & 0xC0) == 0x80) {
          typing_->pop_back();
        }
        if (!typing_->empty()) typing_->pop_back();
        break;
      case Key::Kind::kEnter:
        dialog.SetChangeToText(FromUtf8(*typing_));
        dialog.Tick();
        [[fallthrough]];
      case Key::Kind::kEscape:
        typing_.reset();
        terminal_.Write("\n");
        changed_ = true;
        return;
      default:
        return;
    }
    DrawTyping();
    return;
  }

  // Enter and Esc are the default and the cancel button, and say so when it does nothing.
  const auto unavailable = [&](DialogButton button) {
    if (dialog.IsEnabled(button) && dialog.IsVisible(button)) return;
    terminal_.Write(Label(button).append(" is not available now\a\n> "));
  };
  if (key.kind == Key::Kind::kEnter) {
    unavailable(DialogButton::Change);
    return dialog.PressEnter();
  }
  if (key.kind == Key::Kind::kEscape) {
    unavailable(DialogButton::Ignore);
    return dialog.PressEscape();
  }
  if (key.kind != Key::Kind::kText) return;
  const char c = support::AsciiLower(key.text[0]);
  if (c >= '1' && c <= '9') {
    dialog.Select(c - '1');
    dialog.Tick();
    return;
  }
  if (c == 't' || c == '=') {
    typing_ = ToUtf8(dialog.ChangeToText());
    DrawTyping();
    return;
  }
  for (const DialogButton button : kButtons) {
    if (c != AccessKey(button)) continue;
    unavailable(button);
    return dialog.Click(button);
  }
}

void TerminalDialogView::ShowModal(SuggestionsDialog& dialog) {
  dialog.SetObserver(this);
  struct StopObserving {
    SuggestionsDialog& dialog;
    ~StopObserving() { dialog.SetObserver(nullptr); }
  } stop_observing{dialog};

  // The buttons of the previous showing are stale until the first tick.
  dialog.Tick();
  changed_ = true;
  typing_.reset();
  const milliseconds interval(SuggestionsDialog::kTimerIntervalMs);
  Clock::time_point next_tick = Clock::now() + interval;
  while (dialog.IsShown()) {
    if (terminal_.resumed()) changed_ = true;
    if (changed_ && !typing_) {
      changed_ = false;
      Draw(dialog);
    }
    const auto wait = std::max(milliseconds(0),
                               std::chrono::duration_cast<milliseconds>(next_tick - Clock::now()));
    const Key key = terminal_.ReadKey(wait);
    if (key.kind == Key::Kind::kTimeout) {
      dialog.Tick();
      next_tick = Clock::now() + interval;
      continue;
    }
    HandleKey(dialog, key);
  }
  terminal_.Write("\n");
  word_ = {};
}

bool TerminalDialogView::KeepChangesAfterCancel(std::size_t words_changed) {
  terminal_.Write("Keep the " + std::to_string(words_changed) +
                  (words_changed == 1 ? " change" : " changes") + " made so far? [y/N] ");
  for (;;) {
    const Key key = terminal_.ReadKey(milliseconds(-1));
    const bool yes = key.kind == Key::Kind::kText && (key.text == "y" || key.text == "Y");
    const bool no = (key.kind == Key::Kind::kText && (key.text == "n" || key.text == "N")) ||
                    key.kind == Key::Kind::kEnter || key.kind == Key::Kind::kEscape;
    if (yes || no) {
      terminal_.Write(yes ? "y\n" : "n\n");
      return yes;
    }
  }
}

}  // namespace lexivane::frontend::fix
