#include "dialog/suggestions_dialog.h"

#include <cstddef>
#include <utility>

#include "lexivane/dialog_buttons.h"
#include "platform/text.h"
#include "suggest/case_style.h"

namespace lexivane {

namespace {

constexpr std::u16string_view kIdleCaption = u"Spell Check";

std::size_t IndexOf(DialogButton button) {
  return static_cast<std::size_t>(button);
}

}  // namespace

SuggestionsDialog::~SuggestionsDialog() = default;

SuggestionsDialogModel::SuggestionsDialogModel(Dictionaries& dictionaries)
    : caption_(kIdleCaption), oSpell(dictionaries) {
  enabled_.fill(true);
  visible_.fill(true);
}

SuggestionsDialogModel::~SuggestionsDialogModel() = default;

template <typename Action>
void SuggestionsDialogModel::Notifying(Action action) {
  ++depth_;
  try {
    action();
  } catch (...) {
    --depth_;
    throw;
  }
  if (--depth_ > 0 || !std::exchange(changed_, false)) return;
  // Read before the call: the observer may well remove itself from inside it.
  if (DialogObserver* observer = observer_) observer->DialogChanged();
}

template <typename T>
void SuggestionsDialogModel::Set(T& field, T value) {
  if (field == value) return;
  field = std::move(value);
  changed_ = true;
}

bool SuggestionsDialogModel::IsEnabled(DialogButton button) const {
  return enabled_[IndexOf(button)];
}

bool SuggestionsDialogModel::IsVisible(DialogButton button) const {
  return visible_[IndexOf(button)];
}

void SuggestionsDialogModel::SetChangeToText(std::u16string_view text) {
  Notifying([&] {
    if (shown_) Set(change_to_, std::u16string(text));
  });
}

void SuggestionsDialogModel::Select(int index) {
  Notifying([&] {
    if (!shown_ || index < -1 || index >= static_cast<int>(suggestions_.size())) return;
    Set(selected_, index);
    if (index >= 0) Set(change_to_, suggestions_[static_cast<std::size_t>(index)]);
  });
}

void SuggestionsDialogModel::DoubleClick(int index) {
  Notifying([&] {
    if (!shown_ || index < 0 || index >= static_cast<int>(suggestions_.size())) return;
    Select(index);
    // The refresh runs first so that the press is judged by the text it would change to, not
    // by whatever the last tick saw before the click copied the item.
    Tick();
    Click(DialogButton::Change);
  });
}

void SuggestionsDialogModel::Click(DialogButton button) {
  Notifying([&] { ClickNow(button); });
}

void SuggestionsDialogModel::ClickNow(DialogButton button) {
  const std::size_t i = IndexOf(button);
  if (!shown_ || !enabled_[i] || !visible_[i]) return;
  switch (button) {
    case DialogButton::Change:
      break;
    case DialogButton::ChangeAll:
      flags_.bChangeAllClicked = true;
      break;
    case DialogButton::Ignore:
      flags_.bIgnoreClicked = true;
      break;
    case DialogButton::IgnoreAll:
      flags_.bIgnoreAllClicked = true;
      break;
    case DialogButton::AddWord:
      oSpell.AddToCustom(change_to_);
      break;
    case DialogButton::Suggest:
      FillSuggestions();
      return;  // the one button that does not close the dialog
    case DialogButton::Cancel:
      flags_.bCancelClicked = true;
      break;
  }
  Hide();
}

void SuggestionsDialogModel::PressEnter() {
  Click(DialogButton::Change);
}

void SuggestionsDialogModel::PressEscape() {
  Click(DialogButton::Ignore);
}

void SuggestionsDialogModel::Close() {
  const bool can_ignore = IsEnabled(DialogButton::Ignore) && IsVisible(DialogButton::Ignore);
  Click(can_ignore ? DialogButton::Ignore : DialogButton::Cancel);
}

void SuggestionsDialogModel::Tick() {
  Notifying([&] {
    bool& add_word = enabled_[IndexOf(DialogButton::AddWord)];
    // An empty text counts as a known word, so it disables Add Word as well.
    if (oSpell.CheckWord(change_to_, true)) {
      Set(add_word, false);
    } else if (!bAddWordDisabled) {
      Set(add_word, true);
    }
    const bool nothing_to_change =
        change_to_.empty() || platform::ToLower(change_to_) == platform::ToLower(sOrigWord);
    Set(enabled_[IndexOf(DialogButton::Change)], !nothing_to_change);
    Set(enabled_[IndexOf(DialogButton::ChangeAll)], !nothing_to_change && !bChangeAllDisabled);
  });
}

void SuggestionsDialogModel::PutChangeToText(std::u16string_view text) {
  Notifying([&] { Set(change_to_, std::u16string(text)); });
}

void SuggestionsDialogModel::StartUp() {
  Notifying([&] {
    FillSuggestions();
    flags_ = {};
    sOrigWord = change_to_;
    Set(caption_, std::u16string(kIdleCaption) + u" (not in dictionary: " + sOrigWord + u")");
  });
}

void SuggestionsDialogModel::Show() {
  Notifying([&] { Set(shown_, true); });
}

void SuggestionsDialogModel::Hide() {
  Notifying([&] { Set(shown_, false); });
}

void SuggestionsDialogModel::FillSuggestions() {
  // The list shows every suggestion in the letter case of the word it was asked for.
  const CaseStyle style = CaseStyleOf(change_to_);
  // A word that the search refuses (too short, a number) leaves the array as given: empty.
  std::vector<std::u16string> found;
  oSpell.GetSuggestions(change_to_, found, true);
  std::vector<std::u16string> shown;
  shown.reserve(found.size());
  for (const std::u16string& suggestion : found) {
    shown.push_back(InCaseStyle(suggestion, style));
  }
  Set(suggestions_, std::move(shown));
  Set(selected_, -1);
}

void SuggestionsDialogModel::DisableButtons(std::int32_t Buttons, std::int32_t Mode) {
  Notifying([&] { DisableButtonsNow(Buttons, Mode); });
}

void SuggestionsDialogModel::DisableButtonsNow(std::int32_t Buttons, std::int32_t Mode) {
  // Change and Cancel cannot be selected: a host cannot take away the way to answer or to stop.
  static constexpr std::pair<std::int32_t, DialogButton> kSelectable[] = {
      {lvAddWord, DialogButton::AddWord},     {lvChangeAll, DialogButton::ChangeAll},
      {lvIgnoreAll, DialogButton::IgnoreAll}, {lvIgnore, DialogButton::Ignore},
      {lvSuggest, DialogButton::Suggest},
  };
  for (const auto& [bit, button] : kSelectable) {
    if ((Buttons & bit) == 0) continue;
    const std::size_t i = IndexOf(button);
    // Tested one by one in this order, so that enable wins over disable and show over hide.
    if ((Mode & lvDisableButtons) != 0) Set(enabled_[i], false);
    if ((Mode & lvEnableButtons) != 0) Set(enabled_[i], true);
    if ((Mode & lvHideButtons) != 0) Set(visible_[i], false);
    if ((Mode & lvShowButtons) != 0) Set(visible_[i], true);
    if ((Mode & (lvDisableButtons | lvEnableButtons)) != 0) {
      if (button == DialogButton::AddWord) bAddWordDisabled = !enabled_[i];
      if (button == DialogButton::ChangeAll) bChangeAllDisabled = !enabled_[i];
    }
  }
}

}  // namespace lexivane
