// The Qt window driven as a user drives it: real key presses, clicks and typing (Qt Test's
// input simulation) on the offscreen platform, during whole ShowSuggestionDialog and CheckText
// runs. The model's behaviour is proven in dialog/suggestions_dialog_test.cc; these tests prove
// that the window draws what the model holds and hands the model what the user does.
//
// A test binary of its own, beside lexivane_tests: it needs a QApplication, which has to be made
// after the no-QApplication test has run, and it links the shared libraries as a host does.
#include "lexivane/qt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "lexivane/error.h"
#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"

namespace lexivane::qt {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using User = std::function<void(QDialog& window)>;

constexpr std::int32_t kAllButtons = lvIgnore | lvChangeAll | lvIgnoreAll | lvAddWord | lvSuggest;

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The dialog's window while it is up, or nullptr.
QDialog* ShownWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("frmSpellCheck") && widget->isVisible()) {
      return static_cast<QDialog*>(widget);
    }
  }
  return nullptr;
}

template <typename Widget = QWidget>
Widget& Control(QDialog& window, std::u16string_view name) {
  auto* widget = window.findChild<Widget*>(Q(name));
  if (widget == nullptr) throw std::runtime_error("no such control");
  return *widget;
}

QPushButton& Button(QDialog& window, DialogButton button) {
  return Control<QPushButton>(window, SuggestionsDialog::ControlFor(button).name);
}
QLineEdit& Box(QDialog& window) {
  return Control<QLineEdit>(window, u"txtWord");
}
QListWidget& List(QDialog& window) {
  return Control<QListWidget>(window, u"lstSuggestion");
}

// The key that clicks a button with Alt: the letter after "&" in its caption.
Qt::Key AccessKey(DialogButton button) {
  const std::u16string_view caption = SuggestionsDialog::ControlFor(button).caption;
  const char16_t letter = caption[caption.find(u'&') + 1];
  return static_cast<Qt::Key>(QChar(letter).toUpper().unicode());
}

// A double-click as the mouse makes it: a click, then the second press that the system reports
// as a double-click.
void DoubleClickItem(QListWidget& list, int row) {
  const QPoint where = list.visualItemRect(list.item(row)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, where);
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, where);
}

void Type(QDialog& window, const QString& text) {
  Box(window).selectAll();
  QTest::keyClicks(&Box(window), text);
}

// Waits for the next ticks to bring `button` to `enabled`.
void ExpectEnabledSoon(QDialog& window, DialogButton button, bool enabled) {
  EXPECT_TRUE(QTest::qWaitFor([&] { return Button(window, button).isEnabled() == enabled; }, 2000))
      << Q(SuggestionsDialog::ControlFor(button).name).toStdString();
}

// The user at the window: a view that wraps the Qt window, as a host may compose views, and
// schedules one user per showing to act in the window once it is up and active. A user who
// leaves the dialog open fails the test and is closed through the frame after a while.
class UserAtTheWindow final : public DialogView {
 public:
  void Expect(User user) { users_.push_back(std::move(user)); }
  SuggestionsDialog* model = nullptr;  // while shown

  void ShowModal(SuggestionsDialog& dialog) override {
    model = &dialog;
    User user = users_.empty() ? User() : users_.front();
    if (!users_.empty()) users_.erase(users_.begin());
    if (user) {
      QTimer::singleShot(0, [user = std::move(user)] {
        QDialog* window = ShownWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTimer::singleShot(5000, window, [window] {
          ADD_FAILURE() << "the dialog was left open";
          window->close();
        });
        user(*window);
      });
    }
    window_.ShowModal(dialog);
  }

 private:
  WindowView window_;
  std::vector<User> users_;
};

class WindowViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallDialogView();    // the yield
    SetDialogView(&user_);  // the same window, with a user at it
    engine_.Init();
    engine_.DisableButtons(kAllButtons, lvEnableButtons | lvShowButtons);
  }
  void TearDown() override {
    engine_.DisableButtons(kAllButtons, lvEnableButtons | lvShowButtons);
    RemoveDialogView();
  }

  struct Answer {
    std::optional<std::u16string> text;
    bool change_all = false;
    bool ignore_all = false;
  };
  Answer Show(std::u16string_view word, User user) {
    user_.Expect(std::move(user));
    Answer answer;
    answer.text = engine_.ShowSuggestionDialog(word, &answer.change_all, &answer.ignore_all);
    EXPECT_EQ(ShownWindow(), nullptr) << "the window outlived the showing";
    return answer;
  }

  UserAtTheWindow user_;
  SpellCheck engine_;
};

// The window at the screen's logical DPI: every control where the twips table puts it, rounded
// to the nearest pixel. CTest repeats this on a screen of 144 dpi, where half the twips fall on
// half a pixel; LEXIVANE_TEST_DPI says which DPI the run must have.
TEST_F(WindowViewTest, BuildsEveryControlFromTheTableAtTheScreensDpi) {
  const char* wanted_dpi = std::getenv("LEXIVANE_TEST_DPI");
  const int dpi = wanted_dpi != nullptr ? std::atoi(wanted_dpi) : 96;
  const auto pixels = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
  Show(u"Teh", [&](QDialog& window) {
    EXPECT_EQ(window.logicalDpiX(), dpi);
    EXPECT_EQ(window.logicalDpiY(), dpi);
    EXPECT_EQ(window.parent(), nullptr);
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.windowTitle(), "Spell Check (not in dictionary: Teh)");
    const QSize client(pixels(SuggestionsDialog::kClientWidth),
                       pixels(SuggestionsDialog::kClientHeight));
    EXPECT_EQ(window.size(), client);
    EXPECT_EQ(window.minimumSize(), client);
    EXPECT_EQ(window.maximumSize(), client);
    for (const DialogControl& row : SuggestionsDialog::Controls()) {
      const QWidget& widget = Control(window, row.name);
      SCOPED_TRACE(widget.objectName().toStdString());
      EXPECT_EQ(widget.geometry(),
                QRect(pixels(row.left), pixels(row.top), pixels(row.width), pixels(row.height)));
      const QString caption = Q(row.caption);
      switch (row.kind) {
        case DialogControl::Kind::Label:
          EXPECT_EQ(static_cast<const QLabel&>(widget).text(), caption);
          break;
        case DialogControl::Kind::Button:
          EXPECT_EQ(static_cast<const QPushButton&>(widget).text(), caption);
          EXPECT_EQ(static_cast<const QPushButton&>(widget).isDefault(), row.name == u"cmdChange");
          break;
        case DialogControl::Kind::TextBox:
          EXPECT_EQ(qobject_cast<const QLineEdit*>(&widget)->text(), "Teh");
          EXPECT_TRUE(widget.hasFocus());
          break;
        case DialogControl::Kind::ListBox: {
          const auto& list = static_cast<const QListWidget&>(widget);
          EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
          EXPECT_FALSE(list.isSortingEnabled());
          EXPECT_EQ(list.item(0)->text(), "The");  // proper case, as the word
          EXPECT_TRUE(list.selectedItems().isEmpty());
          break;
        }
      }
    }
    QTest::keyClick(&window, Qt::Key_Escape);
  });
}

// Alt with a button's access key clicks it; each closing button gives its answer.
TEST_F(WindowViewTest, AccessKeysClickTheirButtons) {
  const struct {
    DialogButton button;
    QString typed;
    std::optional<std::u16string> answer;
    bool change_all, ignore_all;
  } cases[] = {
      {DialogButton::Change, "The", u"The", false, false},
      {DialogButton::ChangeAll, "The", u"The", true, false},
      {DialogButton::Ignore, "The", u"Teh", false, false},
      {DialogButton::IgnoreAll, "The", u"Teh", false, true},
      {DialogButton::AddWord, "qtwibble", u"qtwibble", false, false},
      {DialogButton::Cancel, "The", std::nullopt, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed.toStdString() + " " + char(AccessKey(c.button)));
    const Answer answer = Show(u"Teh", [&](QDialog& window) {
      Type(window, c.typed);
      ExpectEnabledSoon(window, c.button, true);
      QTest::keyClick(&window, AccessKey(c.button), Qt::AltModifier);
    });
    EXPECT_EQ(answer.text, c.answer);
    EXPECT_EQ(answer.change_all, c.change_all);
    EXPECT_EQ(answer.ignore_all, c.ignore_all);
  }
  EXPECT_TRUE(engine_.CheckWord(u"qtwibble"));  // Add Word reached the custom dictionary
}

// Suggest (Alt+S) refills the list for the typed text and keeps the window; Enter does nothing
// while Change is disabled and changes once the tick has enabled it.
TEST_F(WindowViewTest, SuggestRefillsAndEnterWaitsForChange) {
  const Answer answer = Show(u"Teh", [this](QDialog& window) {
    ExpectEnabledSoon(window, DialogButton::Change, false);  // the box holds the word itself
    QTest::keyClick(&Box(window), Qt::Key_Return);
    EXPECT_TRUE(user_.model->IsShown());
    Type(window, "recieve");
    QTest::keyClick(&window, AccessKey(DialogButton::Suggest), Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return List(window).item(0)->text() == "receive"; }));
    EXPECT_EQ(window.windowTitle(), "Spell Check (not in dictionary: Teh)");
    ExpectEnabledSoon(window, DialogButton::Change, true);
    QTest::keyClick(&Box(window), Qt::Key_Enter);
  });
  EXPECT_EQ(answer.text, u"recieve");
}

// A click on an item copies it into the box; a double-click on another changes to that one.
TEST_F(WindowViewTest, ClicksOnTheListSelectAndDoubleClickChanges) {
  std::vector<QString> items;
  const Answer answer = Show(u"Teh", [&](QDialog& window) {
    QListWidget& list = List(window);
    ASSERT_GE(list.count(), 2);
    for (int i = 0; i < list.count(); ++i) items.push_back(list.item(i)->text());
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(0)).center());
    EXPECT_EQ(Box(window).text(), items[0]);
    EXPECT_EQ(list.selectedItems(), QList<QListWidgetItem*>{list.item(0)});
    Type(window, "x");  // typing leaves the selection; a click on the item copies it again
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {},
                      list.visualItemRect(list.item(0)).center());
    EXPECT_EQ(Box(window).text(), items[0]);
    QTest::keyClick(&list, Qt::Key_Down);  // the keyboard selects too
    EXPECT_EQ(Box(window).text(), items[1]);
    DoubleClickItem(list, 1);
  });
  EXPECT_EQ(answer.text, items.at(1).toStdU16String());
}

// Tab visits the controls in the table's order and comes back to the box.
TEST_F(WindowViewTest, TabFollowsTheTabOrder) {
  std::vector<std::u16string_view> expected(SuggestionsDialog::Controls().size());
  for (const DialogControl& row : SuggestionsDialog::Controls()) {
    expected[static_cast<std::size_t>(row.tab_order)] = row.name;
  }
  std::erase_if(expected, [](std::u16string_view name) { return name.starts_with(u"lbl"); });
  expected.push_back(u"txtWord");
  Show(u"Teh", [&](QDialog& window) {
    Type(window, "qtzork");  // not a word: every button enabled
    ExpectEnabledSoon(window, DialogButton::AddWord, true);
    ExpectEnabledSoon(window, DialogButton::Change, true);
    std::vector<std::u16string> visited{QApplication::focusWidget()->objectName().toStdU16String()};
    for (std::size_t i = 1; i < expected.size(); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.push_back(QApplication::focusWidget()->objectName().toStdU16String());
    }
    EXPECT_EQ(visited, std::vector<std::u16string>(expected.begin(), expected.end()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  });
}

// The frame's close button answers as Ignore while Ignore can be used, else as Cancel; the
// buttons a host took away stay away in the window, and Esc follows Ignore.
TEST_F(WindowViewTest, FrameCloseAndEscFollowTheHostsButtons) {
  const struct {
    std::int32_t mode;  // applied to Ignore and Suggest before the showing
    bool esc;           // Esc first, then the frame if the dialog is still up
    std::optional<std::u16string> answer;
  } cases[] = {{0, true, u"Teh"},
               {0, false, u"Teh"},
               {lvDisableButtons, true, std::nullopt},
               {lvHideButtons, true, std::nullopt}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.mode << (c.esc ? " Esc" : " frame"));
    engine_.DisableButtons(kAllButtons, lvEnableButtons | lvShowButtons);
    engine_.DisableButtons(lvIgnore | lvSuggest, c.mode);
    const Answer answer = Show(u"Teh", [&](QDialog& window) {
      for (DialogButton button : {DialogButton::Ignore, DialogButton::Suggest}) {
        EXPECT_EQ(Button(window, button).isEnabled(), c.mode != lvDisableButtons);
        EXPECT_EQ(Button(window, button).isHidden(), c.mode == lvHideButtons);
      }
      if (c.esc) QTest::keyClick(&window, Qt::Key_Escape);
      EXPECT_EQ(user_.model->IsShown(), !c.esc || c.mode != 0);
      if (user_.model->IsShown()) {
        EXPECT_TRUE(window.close());
      }
    });
    EXPECT_EQ(answer.text, c.answer);
  }
}

// A host's code that runs while the window is up (a timer of its own) and changes the buttons
// is drawn at once; a host that hides the dialog ends the showing.
TEST_F(WindowViewTest, HostChangesWhileShownReachTheWindowAtOnce) {
  const Answer answer = Show(u"Teh", [&](QDialog& window) {
    engine_.DisableButtons(lvIgnoreAll, lvHideButtons);
    EXPECT_TRUE(Button(window, DialogButton::IgnoreAll).isHidden());
    engine_.DisableButtons(lvIgnoreAll, lvShowButtons | lvDisableButtons);
    EXPECT_FALSE(Button(window, DialogButton::IgnoreAll).isHidden());
    EXPECT_FALSE(Button(window, DialogButton::IgnoreAll).isEnabled());
    QTest::mouseClick(&Button(window, DialogButton::IgnoreAll), Qt::LeftButton);  // nothing
    QTest::mouseClick(&Button(window, DialogButton::Cancel), Qt::LeftButton);
  });
  EXPECT_EQ(answer.text, std::nullopt);
}

struct Recorder : SpellCheckEvents {
  std::vector<std::string> seen;
  void SpellReplace(std::u16string_view from, std::u16string_view to, std::int32_t at,
                    std::vector<std::u16string>&) override {
    seen.push_back(ToUtf8(from) + "->" + ToUtf8(to) + "@" + std::to_string(at));
  }
  void SpellCheckComplete(std::int32_t words) override {
    seen.push_back("complete " + std::to_string(words));
  }
};

// A whole text check: the user picks a suggestion with the mouse for each unknown word, and the
// run reports the replacements.
TEST_F(WindowViewTest, CheckTextShowsTheWindowForEveryUnknownWord) {
  Recorder events;
  engine_.Advise(&events);
  const User pick_first = [](QDialog& window) { DoubleClickItem(List(window), 0); };
  user_.Expect(pick_first);
  user_.Expect(pick_first);
  engine_.CheckText(u"Teh cat sat on teh mat.");
  engine_.Unadvise(&events);
  EXPECT_THAT(events.seen, ElementsAre("Teh->The@0", "teh->the@15", "complete 6"));
}

// The yield that InstallDialogView installs lets Qt's events through during a run without a
// window; RemoveDialogView takes it away again.
TEST_F(WindowViewTest, TheYieldProcessesQtEventsDuringARun) {
  for (const bool installed : {true, false}) {
    if (!installed) RemoveDialogView();
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    engine_.CheckText(u"a quiet run", false);
    EXPECT_EQ(fired, installed);
    QTest::qWait(1);  // whatever the run left
  }
}

// Only the QApplication's thread can have Qt windows.
TEST_F(WindowViewTest, OtherThreadsAreRefused) {
  std::thread([] {
    try {
      InstallDialogView();
      ADD_FAILURE() << "installed off the GUI thread";
    } catch (const Error& error) {
      EXPECT_EQ(error.number(), kErrorNoDialogView);
      EXPECT_THAT(error.what(), HasSubstr("main thread"));
    }
  }).join();
}

}  // namespace
}  // namespace lexivane::qt

// Before the QApplication exists, the view refuses with an error that says why, whether it is
// installed or used directly; then the tests above run with one.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  bool refused = true;
  try {
    lexivane::qt::InstallDialogView();
    refused = false;
  } catch (const lexivane::Error& error) {
    refused &= std::string(error.what()).find("QApplication") != std::string::npos;
  }
  lexivane::qt::WindowView view;
  lexivane::SetDialogView(&view);
  try {
    lexivane::SpellCheck().ShowSuggestionDialog(u"Teh");
    refused = false;
  } catch (const lexivane::Error& error) {
    refused &= error.number() == lexivane::kErrorNoDialogView;
  }
  lexivane::SetDialogView(nullptr);
  if (!refused) {
    std::fprintf(stderr, "the Qt view did not refuse to work without a QApplication\n");
    return 1;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
