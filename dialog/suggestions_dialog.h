// SuggestionsDialogModel: the suggestions dialog itself, toolkit-free. It holds everything the
// user sees (caption, "Change to" text, the list, each button's enabled and visible state),
// carries out what the user does, and keeps the result record that tells which button closed
// the last showing. Views see it through the public SuggestionsDialog interface; the dialog
// operations (dialog_operations.h) alone use the side a user cannot reach: putting the word in,
// StartUp, the showing itself, the result record and the button configuration.
//
// Every operation, from either side, ends by telling the observer if it changed what a view
// shows. Fields change only through Set(), which remembers that something changed; the
// outermost operation then notifies once, so DoubleClick (a select, a refresh and a click)
// costs a view one redraw.
//
// The dialog owns its engine `oSpell`, a Speller over the thread's dictionaries with a threshold
// of its own that stays 0.8. One model per thread, owned by the thread's state; used on that
// thread only.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "lexivane/suggestions_dialog.h"
#include "suggest/speller.h"

namespace lexivane {

struct Dictionaries;

class SuggestionsDialogModel final : public SuggestionsDialog {
 public:
  explicit SuggestionsDialogModel(Dictionaries& dictionaries);
  ~SuggestionsDialogModel() override;

  std::u16string_view Caption() const override { return caption_; }
  std::u16string_view ChangeToText() const override { return change_to_; }
  const std::vector<std::u16string>& Suggestions() const override { return suggestions_; }
  int SelectedIndex() const override { return selected_; }
  bool IsEnabled(DialogButton button) const override;
  bool IsVisible(DialogButton button) const override;
  bool IsShown() const override { return shown_; }
  void SetObserver(DialogObserver* observer) override { observer_ = observer; }

  void SetChangeToText(std::u16string_view text) override;
  void Select(int index) override;
  void DoubleClick(int index) override;
  void Click(DialogButton button) override;
  void PressEnter() override;
  void PressEscape() override;
  void Close() override;
  void Tick() override;

  // Which closing button ended the last showing; Change and Add Word set none.
  struct ResultFlags {
    bool bCancelClicked = false;
    bool bIgnoreClicked = false;
    bool bChangeAllClicked = false;
    bool bIgnoreAllClicked = false;
  };

  // The engine's side.
  void PutChangeToText(std::u16string_view text);  // shown or hidden
  void StartUp();
  void DisableButtons(std::int32_t Buttons, std::int32_t Mode);
  void Show();
  void Hide();
  const ResultFlags& Result() const { return flags_; }

 private:
  static constexpr std::size_t kButtonCount = 7;
  void FillSuggestions();
  void ClickNow(DialogButton button);
  void DisableButtonsNow(std::int32_t Buttons, std::int32_t Mode);

  // Runs one operation and, when it is the outermost one and changed what a view shows, tells
  // the observer. An operation that throws tells nobody; its changes are reported with the next.
  template <typename Action>
  void Notifying(Action action);
  template <typename T>
  void Set(T& field, T value);

  std::u16string caption_;
  std::u16string change_to_;                 // txtWord
  std::vector<std::u16string> suggestions_;  // lstSuggestion, as displayed
  int selected_ = -1;
  std::array<bool, kButtonCount> enabled_;
  std::array<bool, kButtonCount> visible_;
  bool shown_ = false;

  DialogObserver* observer_ = nullptr;
  int depth_ = 0;         // operations under way, nested ones included
  bool changed_ = false;  // something a view shows changed since the last notification

  ResultFlags flags_;
  // Set only by DisableButtons, so that the refresh does not enable the button again.
  bool bAddWordDisabled = false;
  bool bChangeAllDisabled = false;
  Speller oSpell;
  std::u16string sOrigWord;
};

}  // namespace lexivane
