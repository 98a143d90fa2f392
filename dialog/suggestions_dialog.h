// SuggestionsDialogModel: the suggestions dialog itself, toolkit-free. It holds everything the
// user sees (caption, "Change to" text, the list, each button's enabled and visible state),
// carries out what the user does, and keeps the result record that tells which button closed
// the last showing. Views see it through the public SuggestionsDialog interface; the dialog
// operations (dialog_operations.h) alone use the side a user cannot reach: putting the word in,
// StartUp, the showing itself, the result record and the button configuration.
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

#include "lexivane/dialog.h"
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
  void Show() { shown_ = true; }
  void Hide() { shown_ = false; }
  const ResultFlags& Result() const { return flags_; }

 private:
  static constexpr std::size_t kButtonCount = 7;
  void FillSuggestions();

  std::u16string caption_;
  std::u16string change_to_;                 // txtWord
  std::vector<std::u16string> suggestions_;  // lstSuggestion, as displayed
  int selected_ = -1;
  std::array<bool, kButtonCount> enabled_;
  std::array<bool, kButtonCount> visible_;
  bool shown_ = false;

  ResultFlags flags_;
  // Set only by DisableButtons, so that the refresh does not enable the button again.
  bool bAddWordDisabled = false;
  bool bChangeAllDisabled = false;
  Speller oSpell;
  std::u16string sOrigWord;
};

}  // namespace lexivane
