// The suggestions dialog: a toolkit-free model of the modal dialog that lets a user decide what
// to do with one word that is not in the dictionary, and the view interface that shows it.
//
// There is exactly one dialog per thread, created hidden with the thread's state (in practice by
// the first SpellCheck object) and destroyed only with it; everything it holds (texts, list,
// button states, flags, its own engine) survives from one showing to the next and is shared by
// every engine on the thread. The component's model holds the whole behaviour; this interface is
// what a DialogView sees of it. A view only draws the dialog and forwards what the user does, so
// a Qt window, a Win32 dialog and a test script all show the same dialog. A host installs its
// view with SetDialogView (lexivane/dialog.h, which includes this header).
//
// A view learns of changes through one DialogObserver: whatever alters what a view draws calls
// it once, after the operation that made the change, whoever made it (the user, the timer, the
// engine starting a showing, a host's DisableButtons).
//
// The model offers what a user can do and nothing a user cannot: while the dialog is hidden,
// typing, selecting and clicking do nothing, so nothing can change the answer of a showing
// after its closing button. Only SpellCheck::ShowSuggestionDialog shows the dialog. Everything
// runs on the owning thread; nothing is locked. See docs/dialog.md.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/export.h"

namespace lexivane {

enum class DialogButton { Change, ChangeAll, Ignore, IgnoreAll, AddWord, Suggest, Cancel };

// One control of the dialog, as every view draws it. Positions and sizes are in twips (1/1440
// inch, 15 twips per pixel at 96 dots per inch) relative to the client area. In a caption the
// character after "&" is the access key; "&" itself is not displayed.
struct DialogControl {
  enum class Kind { Label, TextBox, ListBox, Button };
  std::u16string_view name;  // "cmdChange", "txtWord", ...
  Kind kind;
  std::u16string_view caption;  // "&Change"; empty for the text box and the list
  std::int32_t left, top, width, height;
  std::int32_t tab_order;
};

// Told when what the dialog shows has changed: its caption, the "Change to" text, the list, the
// selection, a button's enabled or visible state, or whether it is shown. The model calls
// DialogChanged once per operation that changed any of these (however many it changed) and
// never for one that changed nothing, so a timer tick that leaves everything as it was costs a
// view no redraw. The observer reads the new state through the SuggestionsDialog interface; it
// must not throw.
class DialogObserver {
 public:
  virtual ~DialogObserver() = default;
  virtual void DialogChanged() = 0;
};

class LEXIVANE_API SuggestionsDialog {
 public:
  // The layout every view draws: the client area's size and the eleven controls.
  static constexpr std::int32_t kClientWidth = 6075;
  static constexpr std::int32_t kClientHeight = 2520;
  static constexpr int kTimerIntervalMs = 100;
  static const std::array<DialogControl, 11>& Controls();
  // The control that stands for a button (its name, caption and place).
  static const DialogControl& ControlFor(DialogButton button);

  // What the user sees.
  virtual std::u16string_view Caption() const = 0;
  virtual std::u16string_view ChangeToText() const = 0;
  virtual const std::vector<std::u16string>& Suggestions() const = 0;  // the items as displayed
  virtual int SelectedIndex() const = 0;  // -1 when nothing is selected
  virtual bool IsEnabled(DialogButton button) const = 0;
  virtual bool IsVisible(DialogButton button) const = 0;
  virtual bool IsShown() const = 0;

  // The one observer, typically the view while it shows the dialog; nullptr removes it. Not
  // owned: a view removes itself before it returns from ShowModal.
  virtual void SetObserver(DialogObserver* observer) = 0;

  // What the user does. All of it is ignored while the dialog is hidden; a click on a disabled
  // or hidden button does nothing. Clicking a closing button hides the dialog, which ends the
  // showing; Suggest refills the list and leaves the dialog shown.
  virtual void SetChangeToText(std::u16string_view text) = 0;  // typing in the "Change to" box
  // The item's text, as displayed, becomes the "Change to" text; -1 deselects and leaves the
  // text alone; an index outside the list does nothing.
  virtual void Select(int index) = 0;
  // Selects the item, refreshes the buttons, then clicks Change: so a double-click on an item
  // that differs from the word only in letter case does nothing, whatever the last tick left.
  virtual void DoubleClick(int index) = 0;
  virtual void Click(DialogButton button) = 0;
  virtual void PressEnter() = 0;   // the default button: clicks Change
  virtual void PressEscape() = 0;  // the cancel button: clicks Ignore
  // The window frame's close button: answers as Ignore (the word itself) when Ignore is enabled
  // and visible, otherwise as Cancel, so that the frame always closes the dialog.
  virtual void Close() = 0;

  // The 100 ms timer: refreshes the enabled state of Add Word, Change and Change All. A view
  // calls it every kTimerIntervalMs while it shows the dialog; it works shown or hidden.
  virtual void Tick() = 0;

 protected:
  SuggestionsDialog() = default;
  virtual ~SuggestionsDialog();
  SuggestionsDialog(const SuggestionsDialog&) = delete;
  SuggestionsDialog& operator=(const SuggestionsDialog&) = delete;
};

// Shows the dialog modally: ShowModal returns once a closing button has hidden the dialog
// (dialog.IsShown() is false again). The view calls dialog.Tick() every 100 ms meanwhile,
// observes the dialog and redraws what changed whenever it is told, and forwards Enter, Esc
// and the frame's close button to PressEnter, PressEscape and Close. A view that returns with the
// dialog still shown makes the showing fail with lexivane::Error; an exception from the view
// hides the dialog and reaches the caller of ShowSuggestionDialog.
class DialogView {
 public:
  virtual ~DialogView() = default;
  virtual void ShowModal(SuggestionsDialog& dialog) = 0;
};

// A view for tests and for hosts without a display: each showing calls `play` once with the
// dialog, and `play` answers it as a user would (for example
// `dialog.Select(0); dialog.Tick(); dialog.Click(DialogButton::Change);`). The script is the
// clock too: the view never ticks on its own, so the buttons keep the states that the last
// tick left until the script calls Tick(). If `play` leaves the dialog shown, ShowModal throws
// lexivane::Error rather than wait for ever.
class LEXIVANE_API ScriptedDialogView : public DialogView {
 public:
  explicit ScriptedDialogView(std::function<void(SuggestionsDialog&)> play);
  ~ScriptedDialogView() override;
  ScriptedDialogView(const ScriptedDialogView&) = delete;
  ScriptedDialogView& operator=(const ScriptedDialogView&) = delete;

  void ShowModal(SuggestionsDialog& dialog) override;
  int showings() const;  // how often the dialog was shown through this view

 private:
  struct Script;  // kept out of this header so that later releases keep the ABI
  std::unique_ptr<Script> script_;
};

}  // namespace lexivane
