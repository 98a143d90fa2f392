#include "fix/add_word_recorder.h"

#include "frontend/words/running_words.h"

namespace lexivane::frontend::fix {

namespace {

class RecordingDialog final : public SuggestionsDialog {
 public:
  RecordingDialog(SuggestionsDialog& dialog, std::vector<std::u16string>& added_words)
      : dialog_(dialog), added_words_(added_words) {}

  std::u16string_view Caption() const override { return dialog_.Caption(); }
  std::u16string_view ChangeToText() const override { return dialog_.ChangeToText(); }
  const std::vector<std::u16string>& Suggestions() const override { return dialog_.Suggestions(); }
  int SelectedIndex() const override { return dialog_.SelectedIndex(); }
  bool IsEnabled(DialogButton button) const override { return dialog_.IsEnabled(button); }
  bool IsVisible(DialogButton button) const override { return dialog_.IsVisible(button); }
  bool IsShown() const override { return dialog_.IsShown(); }
  void SetObserver(DialogObserver* observer) override { dialog_.SetObserver(observer); }
  void SetChangeToText(std::u16string_view text) override { dialog_.SetChangeToText(text); }
  void Select(int index) override { dialog_.Select(index); }
  void DoubleClick(int index) override { dialog_.DoubleClick(index); }
  void Click(DialogButton button) override {
    if (button == DialogButton::AddWord && dialog_.IsShown() && dialog_.IsEnabled(button) &&
        dialog_.IsVisible(button)) {
      added_words_.emplace_back(dialog_.ChangeToText());
    }
    dialog_.Click(button);
  }
  void PressEnter() override { dialog_.PressEnter(); }
  void PressEscape() override { dialog_.PressEscape(); }
  void Close() override { dialog_.Close(); }
  void Tick() override { dialog_.Tick(); }

 private:
  SuggestionsDialog& dialog_;
  std::vector<std::u16string>& added_words_;
};

}  // namespace

void AddWordRecorder::ShowModal(SuggestionsDialog& dialog) {
  // A showing starts with the token in the "Change to" box.
  bool accepted = true;
  ForEachRunningWord(dialog.ChangeToText(), [&](const RunningWord& word) {
    accepted = accepted && session_.Accepts(word.word);
  });
  if (accepted) {
    dialog.Click(DialogButton::Ignore);
    if (!dialog.IsShown()) return;
  }
  RecordingDialog recording(dialog, added_words_);
  const std::size_t added_before = added_words_.size();
  inner_.ShowModal(recording);
  // The word added is in the engine's custom dictionary now, which the session's verdicts
  // predate.
  if (added_words_.size() != added_before) session_.Forget();
}

}  // namespace lexivane::frontend::fix
