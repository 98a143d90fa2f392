#include "dialog/dialog_operations.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "api/thread_state.h"
#include "lexivane/dialog.h"
#include "lexivane/error.h"
#include "lexivane/spell_check.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using ::testing::HasSubstr;
using testing::OnFreshThread;
using Play = std::function<void(SuggestionsDialog&)>;

// Installs a scripted view for the scope of one test step.
class InstalledView {
 public:
  explicit InstalledView(Play play) : view_(std::move(play)) { SetDialogView(&view_); }
  ~InstalledView() { SetDialogView(nullptr); }
  int showings() const { return view_.showings(); }

 private:
  ScriptedDialogView view_;
};

void ChangeToFirstSuggestion(SuggestionsDialog& dialog) {
  dialog.Select(0);
  dialog.Tick();
  dialog.Click(DialogButton::Change);
}

TEST(DialogOperations, EveryClosingButtonGivesItsAnswerAndFlags) {
  struct Outcome {
    const char* closed_by;
    bool pick_first;  // the first suggestion into the box, or else "typed" typed into it
    Play close;
    std::optional<std::u16string> answer;
    bool change_all;
    bool ignore_all;
  };
  const auto click = [](DialogButton button) {
    return [button](SuggestionsDialog& dialog) { dialog.Click(button); };
  };
  const Outcome outcomes[] = {
      {"Change", true, click(DialogButton::Change), u"the", false, false},
      {"Enter", true, &SuggestionsDialog::PressEnter, u"the", false, false},
      {"double-click", false, [](SuggestionsDialog& dialog) { dialog.DoubleClick(0); }, u"the",
       false, false},
      {"Change All", true, click(DialogButton::ChangeAll), u"the", true, false},
      {"Ignore", false, click(DialogButton::Ignore), u"teh", false, false},
      {"Esc", false, &SuggestionsDialog::PressEscape, u"teh", false, false},
      {"frame close", false, &SuggestionsDialog::Close, u"teh", false, false},
      {"Ignore All", false, click(DialogButton::IgnoreAll), u"teh", false, true},
      {"Add Word", false, click(DialogButton::AddWord), u"typed", false, false},
      {"Cancel", true, click(DialogButton::Cancel), std::nullopt, false, false},
  };
  for (const Outcome& outcome : outcomes) {
    // Each on a dialog of its own, so that no outcome inherits the button states of another.
    OnFreshThread([&] {
      SCOPED_TRACE(outcome.closed_by);
      SpellCheck engine;
      engine.Init();
      InstalledView view([&](SuggestionsDialog& dialog) {
        if (outcome.pick_first) {
          dialog.Select(0);
          dialog.Tick();
        } else {
          dialog.SetChangeToText(u"typed");
        }
        outcome.close(dialog);
      });
      bool change_all = true, ignore_all = true;  // both written whatever the host passed in
      try {
        EXPECT_EQ(engine.ShowSuggestionDialog(u"teh", &change_all, &ignore_all), outcome.answer);
        EXPECT_EQ(change_all, outcome.change_all);
        EXPECT_EQ(ignore_all, outcome.ignore_all);
        EXPECT_EQ(engine.ShowSuggestionDialog(u"teh"), outcome.answer) << "without the flags";
        EXPECT_EQ(view.showings(), 2);

        // The next showing reads none of this one's flags.
        InstalledView next(ChangeToFirstSuggestion);
        EXPECT_EQ(engine.ShowSuggestionDialog(u"teh", &change_all, &ignore_all), u"the");
        EXPECT_FALSE(change_all || ignore_all);
      } catch (const Error& error) {  // a script that did not close: fail this row only
        ADD_FAILURE() << error.what();
      }
    });
  }
}

TEST(DialogOperations, TheAnswerDoesNotDependOnTheCallersStorage) {
  OnFreshThread([] {
    SpellCheck engine;
    InstalledView view([](SuggestionsDialog& dialog) { dialog.Click(DialogButton::Ignore); });
    engine.ShowSuggestionDialog(u"first");
    // The word is a view of the box that the showing overwrites and the user edits.
    InstalledView typing([](SuggestionsDialog& dialog) {
      dialog.SetChangeToText(u"something much longer than the word was");
      dialog.Click(DialogButton::Ignore);
    });
    EXPECT_EQ(engine.ShowSuggestionDialog(ThisThread().dialog.ChangeToText()), u"first");
  });
}

// Engines of one thread share its one dialog: what one configures holds for another's showing.
TEST(DialogOperations, ASecondShowingStartsAfreshButKeepsTheButtonConfiguration) {
  OnFreshThread([] {
    SpellCheck host, other;
    host.Init();
    host.DisableButtons(lvIgnore, lvHideButtons);
    host.DisableButtons(lvIgnoreAll | lvSuggest, lvDisableButtons);
    {
      InstalledView view(ChangeToFirstSuggestion);
      EXPECT_EQ(host.ShowSuggestionDialog(u"teh"), u"the");
    }
    InstalledView view([](SuggestionsDialog& dialog) {
      EXPECT_EQ(&dialog, &ThisThread().dialog);
      EXPECT_EQ(dialog.Caption(), u"Spell Check (not in dictionary: hosue)");
      EXPECT_EQ(dialog.Suggestions().front(), u"house");
      EXPECT_EQ(dialog.SelectedIndex(), -1);
      EXPECT_FALSE(dialog.IsVisible(DialogButton::Ignore));
      EXPECT_FALSE(dialog.IsEnabled(DialogButton::IgnoreAll));
      EXPECT_FALSE(dialog.IsEnabled(DialogButton::Suggest));
      dialog.SetChangeToText(u"hose");
      dialog.Tick();
      dialog.Click(DialogButton::Change);
    });
    EXPECT_EQ(other.ShowSuggestionDialog(u"hosue"), u"hose");
  });
}

TEST(DialogOperations, ShowingWithoutAViewFailsBeforeTouchingTheDialog) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows shows its own window without a view (win32_dialog_view_test.cc)";
#endif
  OnFreshThread([] {
    SpellCheck engine;
    bool change_all = true;
    try {
      engine.ShowSuggestionDialog(u"teh", &change_all);
      ADD_FAILURE() << "no view is installed";
    } catch (const Error& error) {
      EXPECT_THAT(error.what(), HasSubstr("SetDialogView"));
    }
    EXPECT_FALSE(change_all);
    EXPECT_EQ(ThisThread().dialog.Caption(), u"Spell Check");

    // A view belongs to the thread that installed it.
    InstalledView view([](SuggestionsDialog& dialog) { dialog.Click(DialogButton::Ignore); });
    std::thread([] { EXPECT_THROW(SpellCheck().ShowSuggestionDialog(u"teh"), Error); }).join();
    SetDialogView(nullptr);
    EXPECT_THROW(engine.ShowSuggestionDialog(u"teh"), Error);
  });
}

TEST(DialogOperations, AViewThatDoesNotCloseTheDialogFailsTheShowingAndHidesIt) {
  OnFreshThread([] {
    SpellCheck engine;
    // A view of the host's own that returns with the dialog still up, and one that throws.
    struct ReturnsAtOnce : DialogView {
      void ShowModal(SuggestionsDialog&) override {}
    } returns_at_once;
    SetDialogView(&returns_at_once);
    EXPECT_THROW(engine.ShowSuggestionDialog(u"teh"), Error);
    struct Throws : DialogView {
      void ShowModal(SuggestionsDialog&) override { throw std::runtime_error("display gone"); }
    } throws;
    SetDialogView(&throws);
    EXPECT_THROW(engine.ShowSuggestionDialog(u"teh"), std::runtime_error);
    EXPECT_FALSE(ThisThread().dialog.IsShown());

    InstalledView view([](SuggestionsDialog& dialog) { dialog.Click(DialogButton::Ignore); });
    EXPECT_EQ(engine.ShowSuggestionDialog(u"teh"), u"teh") << "the dialog still works";
  });
}

TEST(DialogOperations, ANestedShowingIsRefusedAndLeavesTheOuterOneAlone) {
  OnFreshThread([] {
    SpellCheck engine;
    engine.Init();
    bool up = false;
    InstalledView view([&](SuggestionsDialog& dialog) {
      if (std::exchange(up, true)) return dialog.Click(DialogButton::Cancel);  // if let through
      const std::vector<std::u16string> list = dialog.Suggestions();
      // Host code that runs while the dialog is up and asks for it again.
      EXPECT_THROW(engine.ShowSuggestionDialog(u"hosue"), Error);
      EXPECT_TRUE(dialog.IsShown());
      EXPECT_EQ(dialog.Caption(), u"Spell Check (not in dictionary: teh)");
      EXPECT_EQ(dialog.Suggestions(), list);
      ChangeToFirstSuggestion(dialog);
    });
    EXPECT_EQ(engine.ShowSuggestionDialog(u"teh"), u"the");
  });
}

}  // namespace
}  // namespace lexivane
