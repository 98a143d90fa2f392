#include <array>
#include <cstddef>
#include <utility>

#include "lexivane/dialog.h"
#include "lexivane/spell_check.h"
#include "platform/text.h"

namespace lexivane {

namespace {

constexpr std::u16string_view kIdleCaption = u"Spell Check";
constexpr std::size_t kButtonCount = 7;

std::size_t IndexOf(DialogButton button) {
  return static_cast<std::size_t>(button);
}

// The list shows every suggestion in the letter case of the word it was asked for.
enum class CaseStyle { Upper, Lower, Capitalised };

CaseStyle CaseStyleOf(std::u16string_view word) {
  // An empty word and one without letters equal their upper case: numbers stay as they are.
  if (word == platform::ToUpper(word)) return CaseStyle::Upper;
  if (word == platform::ToLower(word)) return CaseStyle::Lower;
  const std::u16string_view first = word.substr(0, 1);
  const std::u16string_view rest = word.substr(1);
  if (rest == platform::ToLower(rest) && first == platform::ToUpper(first)) {
    return CaseStyle::Capitalised;
  }
  return CaseStyle::Lower;  // tEH, McDonald: no style worth copying
}

std::u16string InCaseStyle(std::u16string_view suggestion, CaseStyle style) {
  switch (style) {
    case CaseStyle::Upper:
      return platform::ToUpper(suggestion);
    case CaseStyle::Capitalised:
      return platform::ToProper(suggestion);
    case CaseStyle::Lower:
      break;
  }
  return platform::ToLower(suggestion);
}

}  // namespace

struct SuggestionsDialog::State {
  State() {
    enabled.fill(true);
    visible.fill(true);
  }

  std::u16string caption{kIdleCaption};
  std::u16string change_to;                 // txtWord
  std::vector<std::u16string> suggestions;  // lstSuggestion, as displayed
  int selected = -1;
  std::array<bool, kButtonCount> enabled;
  std::array<bool, kButtonCount> visible;
  bool shown = false;

  ResultFlags flags;
  // Set only by DisableButtons, so that the refresh does not enable the button again.
  bool bAddWordDisabled = false;
  bool bChangeAllDisabled = false;
  std::unique_ptr<SpellCheck> oSpell;
  std::u16string sOrigWord;
};

SuggestionsDialog::SuggestionsDialog() : state_(std::make_unique<State>()) {}

SuggestionsDialog::~SuggestionsDialog() = default;

SuggestionsDialog& SuggestionsDialog::ForThisThread() {
  thread_local std::unique_ptr<SuggestionsDialog> dialog;
  if (dialog == nullptr) {
    dialog.reset(new SuggestionsDialog());
    // oSpell's constructor asks for the thread's dialog in turn, so the engine is made only
    // once `dialog` holds the new one: it finds it there instead of creating a second.
    dialog->state_->oSpell = std::make_unique<SpellCheck>();
  }
  return *dialog;
}

std::u16string_view SuggestionsDialog::Caption() const {
  return state_->caption;
}

std::u16string_view SuggestionsDialog::ChangeToText() const {
  return state_->change_to;
}

const std::vector<std::u16string>& SuggestionsDialog::Suggestions() const {
  return state_->suggestions;
}

int SuggestionsDialog::SelectedIndex() const {
  return state_->selected;
}

bool SuggestionsDialog::IsEnabled(DialogButton button) const {
  return state_->enabled[IndexOf(button)];
}

bool SuggestionsDialog::IsVisible(DialogButton button) const {
  return state_->visible[IndexOf(button)];
}

bool SuggestionsDialog::IsShown() const {
  return state_->shown;
}

void SuggestionsDialog::SetChangeToText(std::u16string_view text) {
  if (state_->shown) state_->change_to = text;
}

void SuggestionsDialog::Select(int index) {
  State& s = *state_;
  if (!s.shown || index < -1 || index >= static_cast<int>(s.suggestions.size())) return;
  s.selected = index;
  if (index >= 0) s.change_to = s.suggestions[static_cast<std::size_t>(index)];
}

void SuggestionsDialog::DoubleClick(int index) {
  if (!state_->shown || index < 0 || index >= static_cast<int>(state_->suggestions.size())) {
    return;
  }
  Select(index);
  // The refresh runs first so that the press is judged by the text it would change to, not
  // by whatever the last tick saw before the click copied the item.
  Tick();
  Click(DialogButton::Change);
}

void SuggestionsDialog::Click(DialogButton button) {
  State& s = *state_;
  const std::size_t i = IndexOf(button);
  if (!s.shown || !s.enabled[i] || !s.visible[i]) return;
  switch (button) {
    case DialogButton::Change:
      break;
    case DialogButton::ChangeAll:
      s.flags.bChangeAllClicked = true;
      break;
    case DialogButton::Ignore:
      s.flags.bIgnoreClicked = true;
      break;
    case DialogButton::IgnoreAll:
      s.flags.bIgnoreAllClicked = true;
      break;
    case DialogButton::AddWord:
      s.oSpell->AddToCustom(s.change_to);
      break;
    case DialogButton::Suggest:
      FillSuggestions();
      return;  // the one button that does not close the dialog
    case DialogButton::Cancel:
      s.flags.bCancelClicked = true;
      break;
  }
  Hide();
}

void SuggestionsDialog::PressEnter() {
  Click(DialogButton::Change);
}

void SuggestionsDialog::PressEscape() {
  Click(DialogButton::Ignore);
}

void SuggestionsDialog::Close() {
  const bool can_ignore = IsEnabled(DialogButton::Ignore) && IsVisible(DialogButton::Ignore);
  Click(can_ignore ? DialogButton::Ignore : DialogButton::Cancel);
}

void SuggestionsDialog::Tick() {
  State& s = *state_;
  auto& enabled = s.enabled;
  // An empty text counts as a known word, so it disables Add Word as well.
  if (s.oSpell->CheckWord(s.change_to, true)) {
    enabled[IndexOf(DialogButton::AddWord)] = false;
  } else if (!s.bAddWordDisabled) {
    enabled[IndexOf(DialogButton::AddWord)] = true;
  }
  const bool nothing_to_change =
      s.change_to.empty() || platform::ToLower(s.change_to) == platform::ToLower(s.sOrigWord);
  enabled[IndexOf(DialogButton::Change)] = !nothing_to_change;
  enabled[IndexOf(DialogButton::ChangeAll)] = !nothing_to_change && !s.bChangeAllDisabled;
}

void SuggestionsDialog::PutChangeToText(std::u16string_view text) {
  state_->change_to = text;
}

void SuggestionsDialog::StartUp() {
  State& s = *state_;
  FillSuggestions();
  s.flags = {};
  s.sOrigWord = s.change_to;
  s.caption = std::u16string(kIdleCaption) + u" (not in dictionary: " + s.sOrigWord + u")";
}

void SuggestionsDialog::FillSuggestions() {
  State& s = *state_;
  const CaseStyle style = CaseStyleOf(s.change_to);
  s.suggestions.clear();
  s.selected = -1;
  // A word that the search refuses (too short, a number) leaves the array as given: empty.
  std::vector<std::u16string> found;
  s.oSpell->GetSuggestions(s.change_to, found, true);
  s.suggestions.reserve(found.size());
  for (const std::u16string& suggestion : found) {
    s.suggestions.push_back(InCaseStyle(suggestion, style));
  }
}

void SuggestionsDialog::DisableButtons(std::int32_t Buttons, std::int32_t Mode) {
  // Change and Cancel cannot be selected: a host cannot take away the way to answer or to stop.
  static constexpr std::pair<std::int32_t, DialogButton> kSelectable[] = {
      {lvAddWord, DialogButton::AddWord},     {lvChangeAll, DialogButton::ChangeAll},
      {lvIgnoreAll, DialogButton::IgnoreAll}, {lvIgnore, DialogButton::Ignore},
      {lvSuggest, DialogButton::Suggest},
  };
  State& s = *state_;
  for (const auto& [bit, button] : kSelectable) {
    if ((Buttons & bit) == 0) continue;
    const std::size_t i = IndexOf(button);
    // Tested one by one in this order, so that enable wins over disable and show over hide.
    if ((Mode & lvDisableButtons) != 0) s.enabled[i] = false;
    if ((Mode & lvEnableButtons) != 0) s.enabled[i] = true;
    if ((Mode & lvHideButtons) != 0) s.visible[i] = false;
    if ((Mode & lvShowButtons) != 0) s.visible[i] = true;
    if ((Mode & (lvDisableButtons | lvEnableButtons)) != 0) {
      if (button == DialogButton::AddWord) s.bAddWordDisabled = !s.enabled[i];
      if (button == DialogButton::ChangeAll) s.bChangeAllDisabled = !s.enabled[i];
    }
  }
}

void SuggestionsDialog::Show() {
  state_->shown = true;
}

void SuggestionsDialog::Hide() {
  state_->shown = false;
}

const SuggestionsDialog::ResultFlags& SuggestionsDialog::Result() const {
  return state_->flags;
}

}  // namespace lexivane
