// The suggestions dialog and the engine's operations that show it, through the public API with a
// scripted view playing the user: the layout every view draws, the list and the buttons while
// the dialog is up, what each way of closing it answers, the button configuration a host sets,
// the observer a view redraws on, and the showings that fail.
#include "lexivane/dialog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "api/thread_state.h"
#include "lexivane/error.h"
#include "lexivane/spell_check.h"
#include "platform/text.h"
#include "tests/test_support.h"

namespace lexivane {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::IsSupersetOf;
using testing::OnFreshThread;
using Play = std::function<void(SuggestionsDialog&)>;

// Installs a scripted view that plays `play` at each showing, for as long as it lives.
class InstalledView {
 public:
  explicit InstalledView(Play play) : view_(std::move(play)) { SetDialogView(&view_); }
  ~InstalledView() { SetDialogView(nullptr); }
  int showings() const { return view_.showings(); }

 private:
  ScriptedDialogView view_;
};

// Shows the thread's dialog for `word` while `play` plays the user once.
std::optional<std::u16string> Answer(std::u16string_view word, Play play) {
  InstalledView view(std::move(play));
  try {
    return SpellCheck().ShowSuggestionDialog(word);
  } catch (const Error& error) {  // the script left the dialog shown: fail this test only
    ADD_FAILURE() << error.what();
    return u"(the showing failed)";
  }
}

// Runs `body` on a fresh thread with an initialised engine: a dialog and custom words of its own.
void OnFreshEngine(const std::function<void(SpellCheck&)>& body) {
  OnFreshThread([&] {
    SpellCheck engine;
    engine.Init();
    body(engine);
  });
}

// Shows the dialog for `word`, runs `look` while it is up, then cancels.
void WhileShownFor(std::u16string_view word, Play look) {
  Answer(word, [&](SuggestionsDialog& dialog) {
    look(dialog);
    dialog.Click(DialogButton::Cancel);
  });
}

Play Click(DialogButton button) {
  return [button](SuggestionsDialog& dialog) { dialog.Click(button); };
}

void ChangeToFirstSuggestion(SuggestionsDialog& dialog) {
  dialog.Select(0);
  dialog.Tick();
  dialog.Click(DialogButton::Change);
}

constexpr DialogButton kAllButtons[] = {
    DialogButton::Change,  DialogButton::ChangeAll, DialogButton::Ignore, DialogButton::IgnoreAll,
    DialogButton::AddWord, DialogButton::Suggest,   DialogButton::Cancel};

TEST(SuggestionsDialogLayout, ControlsFitWithDistinctNamesTabStopsAndAccessKeys) {
  const auto& controls = SuggestionsDialog::Controls();
  std::set<std::u16string_view> names;
  std::set<int> tab_stops;
  std::set<char16_t> access_keys;
  for (const DialogControl& control : controls) {
    SCOPED_TRACE(testing::Utf8(control.name));
    names.insert(control.name);
    tab_stops.insert(control.tab_order);
    EXPECT_GE(control.left, 0);
    EXPECT_LE(control.left + control.width, SuggestionsDialog::kClientWidth);
    EXPECT_LE(control.top + control.height, SuggestionsDialog::kClientHeight);
    if (const auto amp = control.caption.find(u'&'); amp != std::u16string_view::npos) {
      ASSERT_LT(amp + 1, control.caption.size());
      EXPECT_TRUE(
          access_keys.insert(platform::ToLower(control.caption.substr(amp + 1, 1))[0]).second);
    }
  }
  EXPECT_EQ(names.size(), controls.size());
  EXPECT_EQ(tab_stops, std::set<int>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  EXPECT_EQ(access_keys.size(), 7u);  // one for each button
  EXPECT_EQ(controls[1].name, u"txtWord");
  EXPECT_EQ(controls[1].tab_order, 0) << "the box has the focus when the dialog opens";

  const std::u16string_view button_names[] = {u"cmdChange",    u"cmdChangeAll", u"cmdIgnore",
                                              u"cmdIgnoreAll", u"cmdAddWord",   u"cmdSuggest",
                                              u"cmdCancel"};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(SuggestionsDialog::ControlFor(kAllButtons[i]).name, button_names[i]);
}

TEST(SuggestionsDialog, ListTakesTheLetterCaseOfTheWord) {
  OnFreshEngine([](SpellCheck& engine) {
    engine.AddToCustom(u"@@@@x");
    const std::pair<std::u16string_view, std::vector<std::u16string>> cases[] = {
        {u"TEH", {u"THE", u"TEE"}},
        {u"Teh", {u"The", u"Tee"}},
        {u"teh", {u"the", u"tee"}},
        {u"tEH", {u"the", u"tee"}},
        // Proper case starts a word after a blank only, not after an apostrophe.
        {u"Dont", {u"Dent", u"Don't"}},
        {u"Hosue", {u"House", u"Ho Sue"}},
        // A word without letters counts as upper case.
        {u"@@@@", {u"@@@@X"}},
        // Nothing found: an empty list and the word left in the box to be edited.
        {u"zzxqj", {}},
        {u"1234", {}},
    };
    for (const auto& [word, shown] : cases) {
      WhileShownFor(word, [&](SuggestionsDialog& dialog) {
        SCOPED_TRACE(testing::Utf8(word));
        EXPECT_EQ(dialog.Suggestions().empty(), shown.empty());
        EXPECT_THAT(dialog.Suggestions(), IsSupersetOf(shown));
        EXPECT_EQ(dialog.SelectedIndex(), -1);
        EXPECT_EQ(dialog.ChangeToText(), word);
      });
    }
  });
}

// The refresh, for the word of the showing and the text then in the box.
TEST(SuggestionsDialog, TickEnablesChangeForAnotherWordAndAddWordForAnUnknownOne) {
  OnFreshEngine([](SpellCheck& engine) {
    engine.AddToCustom(u"Teh");
    struct Row {
      std::u16string_view word, text;
      bool change, add_word;
    };
    const Row rows[] = {
        {u"zzxqj", u"zzxqj", false, true},  // the word itself
        {u"zzxqj", u"quiz", true, false},   // a known replacement
        {u"tEH", u"teh", false, false},     // the letter case only; known from the custom list
        {u"teh", u"wibble", true, true},    // an unknown replacement
        {u"teh", u"the", true, false},
        {u"teh", u"", false, false},  // an empty text counts as a known word
        {u"", u"", false, false},
    };
    for (const Row& row : rows) {
      WhileShownFor(row.word, [&](SuggestionsDialog& dialog) {
        SCOPED_TRACE(testing::Utf8(row.word) + " -> " + testing::Utf8(row.text));
        dialog.SetChangeToText(row.text);
        dialog.Tick();
        EXPECT_EQ(dialog.IsEnabled(DialogButton::Change), row.change);
        EXPECT_EQ(dialog.IsEnabled(DialogButton::ChangeAll), row.change);
        EXPECT_EQ(dialog.IsEnabled(DialogButton::AddWord), row.add_word);
        dialog.PressEnter();
        EXPECT_EQ(dialog.IsShown(), !row.change) << "Enter clicks Change only when enabled";
      });
    }
    const auto answer = Answer(u"", [](SuggestionsDialog& dialog) {
      EXPECT_EQ(dialog.Caption(), u"Spell Check (not in dictionary: )");
      dialog.Click(DialogButton::Ignore);
    });
    EXPECT_EQ(answer, u"");
  });
}

// The dialog's own engine works on the thread's lists, with a threshold of its own.
TEST(SuggestionsDialog, AddWordReachesTheHostButTheHostsThresholdDoesNotReachTheList) {
  OnFreshEngine([](SpellCheck& host) {
    host.SetSuggestionSimilarity(0.5f);
    std::vector<std::u16string> host_list, default_list;
    host.GetSuggestions(u"thier", host_list);
    SpellCheck().GetSuggestions(u"thier", default_list);
    ASSERT_GT(host_list.size(), default_list.size());
    WhileShownFor(u"thier", [&](SuggestionsDialog& dialog) {
      EXPECT_EQ(dialog.Suggestions(), default_list);
    });
    EXPECT_EQ(host.SuggestionSimilarity(), 0.5f);

    const std::filesystem::path file(testing::Utf8(DefaultCustomDictionaryPath()));
    const bool existed = std::filesystem::exists(file);
    const auto bytes_before = testing::ReadBytes(file);
    ASSERT_FALSE(host.CheckWord(u"wibble"));
    const auto answer = Answer(u"wibble", [](SuggestionsDialog& dialog) {
      dialog.Tick();
      ASSERT_TRUE(dialog.IsEnabled(DialogButton::AddWord));
      dialog.Click(DialogButton::AddWord);
    });
    EXPECT_EQ(answer, u"wibble");
    EXPECT_TRUE(host.CheckWord(u"wibble"));
    EXPECT_EQ(std::filesystem::exists(file), existed) << "in memory only";
    EXPECT_EQ(testing::ReadBytes(file), bytes_before);
  });
}

TEST(SuggestionsDialog, SelectionCopiesTheItemAndSuggestRefillsTheListForTheTypedText) {
  OnFreshEngine([](SpellCheck&) {
    WhileShownFor(u"teh", [](SuggestionsDialog& dialog) {
      dialog.Select(1);
      EXPECT_EQ(dialog.ChangeToText(), u"tee");
      dialog.SetChangeToText(u"typed");
      EXPECT_EQ(dialog.SelectedIndex(), 1) << "typing leaves the list alone";
      dialog.Select(-1);
      const int size = static_cast<int>(dialog.Suggestions().size());
      for (int outside : {size, -2}) {  // ignored, as is a double-click there
        dialog.Select(outside);
        dialog.DoubleClick(outside);
      }
      EXPECT_EQ(dialog.SelectedIndex(), -1);
      EXPECT_EQ(dialog.ChangeToText(), u"typed");

      dialog.Select(1);
      dialog.SetChangeToText(u"HOSUE");
      dialog.Click(DialogButton::Suggest);
      EXPECT_TRUE(dialog.IsShown());
      EXPECT_THAT(dialog.Suggestions(), ElementsAre(u"HOUSE", u"HOSE", u"HOOKE", u"HOS", u"HAGUE",
                                                    u"HOSEA", u"HESSE", u"HO SUE"));
      EXPECT_EQ(dialog.SelectedIndex(), -1);
      EXPECT_EQ(dialog.ChangeToText(), u"HOSUE");
      EXPECT_EQ(dialog.Caption(), u"Spell Check (not in dictionary: teh)");
    });
  });
}

TEST(SuggestionsDialog, DoubleClickJudgesTheItemWhateverTheLastTickSaw) {
  OnFreshEngine([](SpellCheck& engine) {
    engine.AddToCustom(u"Teh");  // offered for "tEH", shown as "teh"
    Answer(u"tEH", [](SuggestionsDialog& dialog) {
      ASSERT_EQ(dialog.Suggestions().back(), u"teh");
      dialog.DoubleClick(static_cast<int>(dialog.Suggestions().size()) - 1);
      EXPECT_TRUE(dialog.IsShown()) << "only the letter case differs";
      dialog.Click(DialogButton::Ignore);
    });
    // The first showing left Change disabled; no tick runs before the double-click.
    ASSERT_FALSE(ThisThread().dialog.IsEnabled(DialogButton::Change));
    EXPECT_EQ(Answer(u"Teh", [](SuggestionsDialog& dialog) { dialog.DoubleClick(0); }), u"The");
  });
}

// Each row on a dialog of its own, so that no row inherits the button states of another. Both
// flags are written whatever the host passed in, and the next showing reads none of them.
TEST(SuggestionsDialog, EveryWayToCloseGivesItsAnswerAndFlags) {
  struct Row {
    const char* closed_by;
    std::int32_t ignore_mode;  // what DisableButtons does to Ignore before the showing
    bool pick_first;           // the first suggestion into the box, or else "typed" typed into it
    Play close;
    std::optional<std::u16string> answer;
    bool change_all = false, ignore_all = false;
  };
  // Esc and a click on Ignore do nothing then, and the frame closes as Cancel.
  const Play frame_without_ignore = [](SuggestionsDialog& dialog) {
    dialog.PressEscape();
    dialog.Click(DialogButton::Ignore);
    EXPECT_TRUE(dialog.IsShown());
    dialog.Close();
  };
  const Row rows[] = {
      {"Change", 0, true, Click(DialogButton::Change), u"the"},
      {"Enter", 0, true, &SuggestionsDialog::PressEnter, u"the"},
      {"double-click", 0, false, [](SuggestionsDialog& dialog) { dialog.DoubleClick(0); }, u"the"},
      {"Change All", 0, true, Click(DialogButton::ChangeAll), u"the", true},
      {"Ignore", 0, false, Click(DialogButton::Ignore), u"teh"},
      {"Esc", 0, false, &SuggestionsDialog::PressEscape, u"teh"},
      {"frame close", 0, false, &SuggestionsDialog::Close, u"teh"},
      {"Ignore All", 0, false, Click(DialogButton::IgnoreAll), u"teh", false, true},
      {"Add Word", 0, false, Click(DialogButton::AddWord), u"typed"},
      {"Cancel", 0, true, Click(DialogButton::Cancel), std::nullopt},
      {"frame close, Ignore disabled", lvDisableButtons, false, frame_without_ignore, std::nullopt},
      {"frame close, Ignore hidden", lvHideButtons, false, frame_without_ignore, std::nullopt},
  };
  for (const Row& row : rows) {
    OnFreshEngine([&](SpellCheck& engine) {
      SCOPED_TRACE(row.closed_by);
      engine.DisableButtons(lvIgnore, row.ignore_mode);
      InstalledView view([&](SuggestionsDialog& dialog) {
        if (row.pick_first) {
          dialog.Select(0);
          dialog.Tick();
        } else {
          dialog.SetChangeToText(u"typed");
        }
        row.close(dialog);
      });
      bool change_all = true, ignore_all = true;
      try {
        EXPECT_EQ(engine.ShowSuggestionDialog(u"teh", &change_all, &ignore_all), row.answer);
        EXPECT_EQ(change_all, row.change_all);
        EXPECT_EQ(ignore_all, row.ignore_all);
        EXPECT_EQ(engine.ShowSuggestionDialog(u"teh"), row.answer) << "without the flags";
        EXPECT_EQ(view.showings(), 2);

        InstalledView next(ChangeToFirstSuggestion);
        EXPECT_EQ(engine.ShowSuggestionDialog(u"teh", &change_all, &ignore_all), u"the");
        EXPECT_FALSE(change_all || ignore_all);
      } catch (const Error& error) {  // a script that did not close: fail this row only
        ADD_FAILURE() << error.what();
      }
    });
  }
}

TEST(SuggestionsDialog, TheAnswerDoesNotDependOnTheCallersStorage) {
  OnFreshThread([] {
    Answer(u"first", Click(DialogButton::Ignore));
    // The word is a view of the box that the showing overwrites and the user edits.
    InstalledView typing([](SuggestionsDialog& dialog) {
      dialog.SetChangeToText(u"something much longer than the word was");
      dialog.Click(DialogButton::Ignore);
    });
    EXPECT_EQ(SpellCheck().ShowSuggestionDialog(ThisThread().dialog.ChangeToText()), u"first");
  });
}

TEST(SuggestionsDialog, OneHiddenDialogPerThreadWhereDisableButtonsSelectsFiveButtons) {
  OnFreshThread([] {
    SpellCheck engine;
    const SuggestionsDialog& dialog = ThisThread().dialog;
    EXPECT_FALSE(dialog.IsShown());
    EXPECT_EQ(dialog.Caption(), u"Spell Check");
    EXPECT_EQ(dialog.ChangeToText(), u"");
    EXPECT_THAT(dialog.Suggestions(), IsEmpty());
    EXPECT_EQ(dialog.SelectedIndex(), -1);
    const SuggestionsDialog* elsewhere = nullptr;
    std::thread([&] { elsewhere = &ThisThread().dialog; }).join();
    EXPECT_NE(elsewhere, &dialog);

    // Modes apply in order, so enable wins over disable and show over hide.
    engine.DisableButtons(lvSuggest, lvDisableButtons | lvEnableButtons);
    EXPECT_TRUE(dialog.IsEnabled(DialogButton::Suggest));
    engine.DisableButtons(lvSuggest, lvHideButtons | lvShowButtons);
    EXPECT_TRUE(dialog.IsVisible(DialogButton::Suggest));
    for (std::int32_t nothing : {1, 64, 1 << 30}) engine.DisableButtons(nothing, lvHideButtons);
    engine.DisableButtons(lvIgnore, 0);
    engine.DisableButtons(lvIgnore, 16 | 32);
    // Nothing above did anything: every button is as it started, enabled and visible.
    for (DialogButton button : kAllButtons) {
      EXPECT_TRUE(dialog.IsEnabled(button));
      EXPECT_TRUE(dialog.IsVisible(button));
    }

    // Every bit set: Change and Cancel cannot be selected at all.
    engine.DisableButtons(-1, lvDisableButtons | lvHideButtons);
    for (DialogButton button : kAllButtons) {
      const bool selectable = button != DialogButton::Change && button != DialogButton::Cancel;
      EXPECT_EQ(dialog.IsEnabled(button), !selectable);
      EXPECT_EQ(dialog.IsVisible(button), !selectable);
    }
  });
}

TEST(SuggestionsDialog, DisabledAddWordAndChangeAllOutlastTheRefreshUntilEnabled) {
  OnFreshEngine([](SpellCheck& engine) {
    engine.DisableButtons(lvAddWord | lvIgnore | lvChangeAll, lvDisableButtons);
    for (int showing = 0; showing < 2; ++showing) {
      WhileShownFor(u"teh", [](SuggestionsDialog& dialog) {
        dialog.SetChangeToText(u"wibble");
        dialog.Tick();
        EXPECT_FALSE(dialog.IsEnabled(DialogButton::AddWord));
        EXPECT_FALSE(dialog.IsEnabled(DialogButton::Ignore));
        EXPECT_FALSE(dialog.IsEnabled(DialogButton::ChangeAll));
        EXPECT_TRUE(dialog.IsEnabled(DialogButton::Change));
      });
    }
    engine.DisableButtons(lvAddWord | lvChangeAll, lvEnableButtons);
    WhileShownFor(u"teh", [](SuggestionsDialog& dialog) {
      EXPECT_TRUE(dialog.IsEnabled(DialogButton::AddWord)) << "at once";
      dialog.Tick();
      EXPECT_TRUE(dialog.IsEnabled(DialogButton::AddWord));
      EXPECT_FALSE(dialog.IsEnabled(DialogButton::ChangeAll));
      dialog.Select(0);
      dialog.Tick();
      EXPECT_FALSE(dialog.IsEnabled(DialogButton::AddWord)) << "the refresh rules again";
      EXPECT_TRUE(dialog.IsEnabled(DialogButton::ChangeAll));
      EXPECT_FALSE(dialog.IsEnabled(DialogButton::Ignore));
    });
  });
}

// Engines of one thread share its one dialog: what one configures holds for another's showing.
TEST(SuggestionsDialog, ASecondShowingStartsAfreshButKeepsTheButtonConfiguration) {
  OnFreshEngine([](SpellCheck& host) {
    host.DisableButtons(lvIgnore, lvHideButtons);
    host.DisableButtons(lvIgnoreAll | lvSuggest, lvDisableButtons);
    EXPECT_EQ(Answer(u"teh", ChangeToFirstSuggestion), u"the");
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
    EXPECT_EQ(SpellCheck().ShowSuggestionDialog(u"hosue"), u"hose");
  });
}

// Counts the notifications and keeps what the dialog showed at the last one.
struct CountingObserver : DialogObserver {
  explicit CountingObserver(SuggestionsDialog& dialog) : dialog(dialog) {
    dialog.SetObserver(this);
  }
  ~CountingObserver() override { dialog.SetObserver(nullptr); }
  void DialogChanged() override {
    ++calls;
    text = dialog.ChangeToText();
    shown = dialog.IsShown();
  }
  SuggestionsDialog& dialog;
  int calls = 0;
  std::u16string text;
  bool shown = true;
};

// One notification per operation that changes what a view shows, after the change, and none
// for an operation that changes nothing.
TEST(SuggestionsDialog, TellsTheObserverOncePerOperationThatChangesWhatAViewShows) {
  OnFreshEngine([](SpellCheck&) {
    SuggestionsDialogModel& model = ThisThread().dialog;
    struct Row {
      const char* what;
      Play before, act;
      int calls;
    };
    const auto nothing = [](SuggestionsDialog&) {};
    const auto type = [](std::u16string_view t) {
      return [t](SuggestionsDialog& d) { d.SetChangeToText(t); };
    };
    const auto select = [](int i) { return [i](SuggestionsDialog& d) { d.Select(i); }; };
    const Play tick = &SuggestionsDialog::Tick;
    const Row rows[] = {
        {"typing", nothing, type(u"x"), 1},
        {"typing the same text", nothing, type(u"teh"), 0},
        {"selecting", nothing, select(1), 1},
        {"selecting the selected item", select(1), select(1), 0},
        {"selecting outside the list", nothing, select(99), 0},
        {"a tick that changes a button", type(u"the"), tick, 1},
        {"a tick at rest", tick, tick, 0},
        {"Suggest for another text", type(u"hosue"), Click(DialogButton::Suggest), 1},
        {"Suggest that finds the same list", nothing, Click(DialogButton::Suggest), 0},
        {"a click on a disabled button", tick, Click(DialogButton::Change), 0},
        {"a double-click: select, refresh and close", nothing,
         [](SuggestionsDialog& d) { d.DoubleClick(0); }, 1},
        {"Cancel", nothing, Click(DialogButton::Cancel), 1},
        {"hiding a button", nothing,
         [&](SuggestionsDialog&) { model.DisableButtons(lvIgnore, lvHideButtons); }, 1},
        {"a mode that changes nothing", nothing,
         [&](SuggestionsDialog&) { model.DisableButtons(lvIgnore, lvShowButtons); }, 0},
    };
    for (const Row& row : rows) {
      WhileShownFor(u"teh", [&](SuggestionsDialog& dialog) {
        SCOPED_TRACE(row.what);
        row.before(dialog);
        CountingObserver observer(dialog);
        row.act(dialog);
        EXPECT_EQ(observer.calls, row.calls);
        if (observer.calls > 0) {
          EXPECT_EQ(observer.text, dialog.ChangeToText()) << "told after the change";
          EXPECT_EQ(observer.shown, dialog.IsShown());
        }
      });
      model.DisableButtons(lvIgnore, lvShowButtons);
    }

    // The engine's side tells a view too: a showing starts with a notification, and a hidden
    // dialog still changes through DisableButtons, though never through input: what comes after
    // the closing click changes neither the answer nor the dialog.
    CountingObserver observer(model);
    const auto answer = Answer(u"teh", [&](SuggestionsDialog& dialog) {
      EXPECT_GE(observer.calls, 1);
      dialog.Select(0);
      dialog.Tick();
      dialog.Click(DialogButton::Change);
      observer.calls = 0;
      dialog.Click(DialogButton::Cancel);
      dialog.SetChangeToText(u"later");
      dialog.Select(1);
      dialog.DoubleClick(2);
      dialog.Close();
    });
    EXPECT_EQ(answer, u"the");
    EXPECT_EQ(model.SelectedIndex(), 0);
    EXPECT_FALSE(observer.shown);
    EXPECT_EQ(observer.calls, 0);
    model.DisableButtons(lvSuggest, lvDisableButtons);
    model.DisableButtons(lvSuggest, lvEnableButtons);
    EXPECT_EQ(observer.calls, 2);
  });
}

TEST(SuggestionsDialog, ShowingWithoutAViewFailsBeforeTouchingTheDialog) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows shows its own window without a view (win32_dialog_view_test.cc)";
#endif
  OnFreshThread([] {
    SpellCheck engine;
    bool change_all = true;
    const Error error =
        testing::ErrorFrom([&] { engine.ShowSuggestionDialog(u"teh", &change_all); });
    EXPECT_THAT(error.what(), HasSubstr("SetDialogView"));
    EXPECT_FALSE(change_all);
    EXPECT_EQ(ThisThread().dialog.Caption(), u"Spell Check");

    // A view belongs to the thread that installed it.
    InstalledView view(Click(DialogButton::Ignore));
    std::thread([] { EXPECT_THROW(SpellCheck().ShowSuggestionDialog(u"teh"), Error); }).join();
    SetDialogView(nullptr);
    EXPECT_THROW(engine.ShowSuggestionDialog(u"teh"), Error);
  });
}

TEST(SuggestionsDialog, AViewThatDoesNotCloseTheDialogFailsTheShowingAndHidesIt) {
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
    EXPECT_EQ(Answer(u"teh", Click(DialogButton::Ignore)), u"teh") << "the dialog still works";
  });
}

TEST(SuggestionsDialog, ANestedShowingIsRefusedAndLeavesTheOuterOneAlone) {
  OnFreshEngine([](SpellCheck& engine) {
    bool up = false;
    const auto answer = Answer(u"teh", [&](SuggestionsDialog& dialog) {
      if (std::exchange(up, true)) return dialog.Click(DialogButton::Cancel);  // if let through
      const std::vector<std::u16string> list = dialog.Suggestions();
      // Host code that runs while the dialog is up and asks for it again.
      EXPECT_THROW(engine.ShowSuggestionDialog(u"hosue"), Error);
      EXPECT_TRUE(dialog.IsShown());
      EXPECT_EQ(dialog.Caption(), u"Spell Check (not in dictionary: teh)");
      EXPECT_EQ(dialog.Suggestions(), list);
      ChangeToFirstSuggestion(dialog);
    });
    EXPECT_EQ(answer, u"the");
  });
}

}  // namespace
}  // namespace lexivane
