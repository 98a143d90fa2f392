// The Qt window driven as a user drives it: key presses, clicks and typing (Qt Test's input
// simulation) on the offscreen platform, during whole ShowSuggestionDialog and CheckText runs.
// The model's behaviour is proven in dialog/suggestions_dialog_test.cc; these tests prove that
// the window draws what the model holds and hands the model what the user does.
//
// A binary of its own beside lexivane_tests: it needs a QApplication, made only after the check
// that the view refuses to work without one, and it links the shared libraries as a host does.
#include "lexivane/qt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "lexivane/error.h"
#include "lexivane/spell_check.h"
#include "lexivane/utf8.h"

namespace lexivane::qt {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using User = std::function<void(QDialog& window)>;
using Answer = std::tuple<std::optional<std::u16string>, bool, bool>;  // text, all, ignore all
constexpr std::int32_t kAllButtons = lvIgnore | lvChangeAll | lvIgnoreAll | lvAddWord | lvSuggest;

QString Q(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// The dialog's window while it is up, or nullptr.
QDialog* ShownWindow() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "frmSpellCheck" && widget->isVisible()) {
      return static_cast<QDialog*>(widget);
    }
  }
  return nullptr;
}

template <typename Widget = QWidget>
Widget& Get(QDialog& window, std::u16string_view name) {
  auto* widget = window.findChild<Widget*>(Q(name));
  if (widget == nullptr) qFatal("the window has no %s", qPrintable(Q(name)));
  return *widget;
}
QPushButton& Button(QDialog& window, DialogButton button) {
  return Get<QPushButton>(window, SuggestionsDialog::ControlFor(button).name);
}
QLineEdit& Box(QDialog& window) {
  return Get<QLineEdit>(window, u"txtWord");
}
QListWidget& List(QDialog& window) {
  return Get<QListWidget>(window, u"lstSuggestion");
}

// The key that clicks a button with Alt: the letter after "&" in its caption.
Qt::Key AccessKey(DialogButton button) {
  const std::u16string_view caption = SuggestionsDialog::ControlFor(button).caption;
  return static_cast<Qt::Key>(QChar(caption[caption.find(u'&') + 1]).toUpper().unicode());
}

void Type(QDialog& window, const QString& text) {
  Box(window).selectAll();
  QTest::keyClicks(&Box(window), text);
}

// A mouse click on an item; a double-click is a click, then a second press that the system
// reports as a double-click.
void ClickItem(QDialog& window, int row, bool twice = false) {
  QListWidget& list = List(window);
  const QPoint where = list.visualItemRect(list.item(row)).center();
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, where);
  if (twice) QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, where);
}

// Whether the timer's ticks bring the button to `enabled` within a while.
bool BecomesEnabled(QDialog& window, DialogButton button, bool enabled = true) {
  return QTest::qWaitFor([&] { return Button(window, button).isEnabled() == enabled; }, 2000);
}

// The message of the lexivane::Error (kErrorNoDialogView) that `call` throws, else "".
std::string Refusal(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& error) {
    if (error.number() == kErrorNoDialogView) return error.what();
  }
  return {};
}

// The fixture is also the user at the window: a view that wraps the Qt window, as a host may
// compose views, and lets the next of users_ act once the window is up and active. A user who
// leaves the dialog open fails the test, which then cancels it.
class WindowViewTest : public ::testing::Test, public DialogView {
 protected:
  void SetUp() override {
    InstallDialogView();  // for its yield; the window below is the same
    SetDialogView(this);
    engine_.Init();
    engine_.DisableButtons(kAllButtons, lvEnableButtons | lvShowButtons);
  }
  void TearDown() override {
    engine_.DisableButtons(kAllButtons, lvEnableButtons | lvShowButtons);
    RemoveDialogView();
  }

  void ShowModal(SuggestionsDialog& dialog) override {
    model_ = &dialog;
    QTimer::singleShot(0, [this, &dialog] {
      QDialog* window = ShownWindow();
      ASSERT_TRUE(window != nullptr && QTest::qWaitForWindowActive(window));
      QTimer::singleShot(5000, window, [&dialog] {
        ADD_FAILURE() << "the dialog was left open";
        dialog.Click(DialogButton::Cancel);
      });
      ASSERT_FALSE(users_.empty());
      const User user = users_.front();
      users_.pop_front();
      user(*window);
    });
    window_.ShowModal(dialog);
  }

  Answer Show(User user) {
    users_.push_back(std::move(user));
    Answer answer;
    std::get<0>(answer) =
        engine_.ShowSuggestionDialog(u"Teh", &std::get<1>(answer), &std::get<2>(answer));
    EXPECT_EQ(ShownWindow(), nullptr) << "the window outlived the showing";
    return answer;
  }

  WindowView window_;
  std::deque<User> users_;
  SuggestionsDialog* model_ = nullptr;
  SpellCheck engine_;
};

// Every control where the twips table puts it at the screen's logical DPI, rounded to the
// nearest pixel. CTest repeats this on a screen of 144 dpi (LEXIVANE_TEST_DPI says so), where
// half the twips fall on half a pixel.
TEST_F(WindowViewTest, BuildsEveryControlFromTheTableAtTheScreensDpi) {
  const char* wanted = std::getenv("LEXIVANE_TEST_DPI");
  const int dpi = wanted != nullptr ? std::atoi(wanted) : 96;
  const auto px = [dpi](int twips) { return (twips * dpi + 720) / 1440; };
  Show([&](QDialog& window) {
    EXPECT_EQ(QPoint(window.logicalDpiX(), window.logicalDpiY()), QPoint(dpi, dpi));
    EXPECT_TRUE(window.parent() == nullptr && window.isModal());
    EXPECT_EQ(window.windowTitle(), "Spell Check (not in dictionary: Teh)");
    const QSize client(px(SuggestionsDialog::kClientWidth), px(SuggestionsDialog::kClientHeight));
    EXPECT_TRUE(window.size() == client && window.minimumSize() == window.maximumSize() &&
                window.maximumSize() == client);
    for (const DialogControl& row : SuggestionsDialog::Controls()) {
      const QWidget& widget = Get(window, row.name);
      SCOPED_TRACE(widget.objectName().toStdString());
      EXPECT_EQ(widget.geometry(), QRect(px(row.left), px(row.top), px(row.width), px(row.height)));
      if (!row.caption.empty()) {
        EXPECT_EQ(widget.property("text").toString(), Q(row.caption));
      }
      EXPECT_EQ(widget.property("default").toBool(), row.name == u"cmdChange");
    }
    EXPECT_TRUE(Box(window).hasFocus());
    EXPECT_EQ(Box(window).selectedText(), "Teh");
    const QListWidget& list = List(window);
    EXPECT_TRUE(list.selectionMode() == QAbstractItemView::SingleSelection &&
                !list.isSortingEnabled() && list.selectedItems().isEmpty());
    EXPECT_EQ(list.item(0)->text(), "The");  // proper case, as the word
    QTest::keyClick(&window, Qt::Key_Escape);
  });
}

// Every caption fits its control at the screen's DPI, whatever face the platform's default is:
// a label's text within the label, a button's within the bevel that the style draws. The font is
// no smaller than that needs: half a point more clips a caption, or it is the layout's 8 points.
// CTest repeats this on a screen of 144 dpi, where the twips and the font's pixels round apart.
TEST_F(WindowViewTest, EveryCaptionFitsItsControlAtTheScreensDpi) {
  Show([](QDialog& window) {
    // The captions that do not fit with `more` points added to the window's font.
    const auto misfits = [&window](qreal more) {
      std::vector<std::string> found;
      for (const DialogControl& row : SuggestionsDialog::Controls()) {
        if (row.caption.empty()) continue;
        const QWidget& widget = Get(window, row.name);
        QFont font = widget.font();
        font.setPointSizeF(font.pointSizeF() + more);
        const QSize text = QFontMetrics(font, &widget).size(Qt::TextShowMnemonic, Q(row.caption));
        QRect room = widget.contentsRect();
        if (const auto* button = qobject_cast<const QPushButton*>(&widget)) {
          QStyleOptionButton option;
          option.initFrom(button);
          option.features = button->autoDefault() ? QStyleOptionButton::AutoDefaultButton
                                                  : QStyleOptionButton::None;
          room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        }
        if (text.width() > room.width() || text.height() > room.height()) {
          found.push_back(QString::asprintf("%s needs %dx%d in %dx%d",
                                            qPrintable(widget.objectName()), text.width(),
                                            text.height(), room.width(), room.height())
                              .toStdString());
        }
      }
      return found;
    };
    const QFont& font = window.font();
    SCOPED_TRACE(QString::asprintf("%g points of %s", font.pointSizeF(),
                                   qPrintable(QFontInfo(font).family()))
                     .toStdString());
    EXPECT_THAT(misfits(0), IsEmpty());
    EXPECT_TRUE(font.pointSizeF() == 8 || !misfits(0.5).empty()) << "smaller than it need be";
    QTest::keyClick(&window, Qt::Key_Escape);
  });
}

// What the user does in the window, with the buttons that the host left (its DisableButtons
// mode for Ignore and Suggest), and the answer that results.
TEST_F(WindowViewTest, TheUsersInputReachesTheModel) {
  const auto alt = [](DialogButton button, QString typed) -> User {
    return [=](QDialog& window) {
      Type(window, typed);
      EXPECT_TRUE(BecomesEnabled(window, button));
      QTest::keyClick(&window, AccessKey(button), Qt::AltModifier);
    };
  };
  // Esc (or not), then the frame's close button if the dialog is still up.
  const auto esc_then_frame = [this](std::int32_t mode, bool esc) -> User {
    return [this, mode, esc](QDialog& window) {
      for (DialogButton button : {DialogButton::Ignore, DialogButton::Suggest}) {
        EXPECT_EQ(Button(window, button).isEnabled(), mode != lvDisableButtons);
        EXPECT_EQ(Button(window, button).isHidden(), mode == lvHideButtons);
      }
      if (esc) QTest::keyClick(&window, Qt::Key_Escape);
      EXPECT_EQ(model_->IsShown(), !esc || mode != 0);
      if (model_->IsShown()) window.close();
    };
  };
  const auto suggest_then_enter = [this](QDialog& window) {
    EXPECT_TRUE(BecomesEnabled(window, DialogButton::Change, false));  // the word itself
    QTest::keyClick(&Box(window), Qt::Key_Return);
    EXPECT_TRUE(model_->IsShown());
    Type(window, "recieve");
    QTest::keyClick(&window, AccessKey(DialogButton::Suggest), Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return List(window).item(0)->text() == "receive"; }));
    EXPECT_EQ(window.windowTitle(), "Spell Check (not in dictionary: Teh)");
    EXPECT_TRUE(BecomesEnabled(window, DialogButton::Change));
    QTest::keyClick(&Box(window), Qt::Key_Enter);
  };
  const auto mouse_and_arrows = [](QDialog& window) {
    QListWidget& list = List(window);
    ClickItem(window, 1);
    EXPECT_EQ(Box(window).text(), list.item(1)->text());
    Type(window, "x");  // the item stays selected; a click on it copies it again
    ClickItem(window, 1);
    EXPECT_EQ(Box(window).text(), list.item(1)->text());
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(Box(window).text(), "The");
    ClickItem(window, 0, true);
  };
  const auto tab_round = [](QDialog& window) {
    const std::vector<QString> expected = {
        "txtWord",      "lstSuggestion", "cmdChange",  "cmdIgnore", "cmdChangeAll",
        "cmdIgnoreAll", "cmdAddWord",    "cmdSuggest", "cmdCancel", "txtWord"};
    Type(window, "qtzork");  // not a word: every button enabled
    EXPECT_TRUE(BecomesEnabled(window, DialogButton::AddWord));
    EXPECT_TRUE(BecomesEnabled(window, DialogButton::Change));
    std::vector<QString> visited{QApplication::focusWidget()->objectName()};
    while (visited.size() < expected.size()) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      visited.push_back(QApplication::focusWidget()->objectName());
    }
    EXPECT_EQ(visited, expected);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  };
  // A host's code running while the window is up (a timer of its own) is drawn at once.
  const auto host_meanwhile = [this](QDialog& window) {
    engine_.DisableButtons(lvIgnoreAll, lvHideButtons);
    EXPECT_TRUE(Button(window, DialogButton::IgnoreAll).isHidden());
    engine_.DisableButtons(lvIgnoreAll, lvShowButtons | lvDisableButtons);
    EXPECT_TRUE(Button(window, DialogButton::IgnoreAll).isVisible());
    QTest::mouseClick(&Button(window, DialogButton::IgnoreAll), Qt::LeftButton);  // disabled
    QTest::mouseClick(&Button(window, DialogButton::Cancel), Qt::LeftButton);
  };
  const std::optional<std::u16string> cancelled;
  const struct {
    const char* what;
    std::int32_t mode;
    User user;
    Answer answer;
  } cases[] = {
      {"Alt+C", 0, alt(DialogButton::Change, "The"), {u"The", false, false}},
      {"Alt+L", 0, alt(DialogButton::ChangeAll, "The"), {u"The", true, false}},
      {"Alt+I", 0, alt(DialogButton::Ignore, "The"), {u"Teh", false, false}},
      {"Alt+G", 0, alt(DialogButton::IgnoreAll, "The"), {u"Teh", false, true}},
      {"Alt+A", 0, alt(DialogButton::AddWord, "qtwibble"), {u"qtwibble", false, false}},
      {"Alt+N", 0, alt(DialogButton::Cancel, "The"), {cancelled, false, false}},
      {"Suggest, Enter", 0, suggest_then_enter, {u"recieve", false, false}},
      {"mouse and arrows", 0, mouse_and_arrows, {u"The", false, false}},
      {"Tab", 0, tab_round, {u"Teh", false, false}},
      {"host meanwhile", 0, host_meanwhile, {cancelled, false, false}},
      {"Esc", 0, esc_then_frame(0, true), {u"Teh", false, false}},
      {"frame", 0, esc_then_frame(0, false), {u"Teh", false, false}},
      {"Ignore disabled",
       lvDisableButtons,
       esc_then_frame(lvDisableButtons, true),
       {cancelled, false, false}},
      {"Ignore hidden",
       lvHideButtons,
       esc_then_frame(lvHideButtons, true),
       {cancelled, false, false}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    engine_.DisableButtons(kAllButtons, lvEnableButtons | lvShowButtons);
    engine_.DisableButtons(lvIgnore | lvSuggest, c.mode);
    EXPECT_EQ(Show(c.user), c.answer);
  }
  EXPECT_TRUE(engine_.CheckWord(u"qtwibble"));  // Add Word reached the custom dictionary
}

// A whole text check: the user double-clicks the first suggestion for each unknown word.
TEST_F(WindowViewTest, CheckTextShowsTheWindowForEveryUnknownWord) {
  struct : SpellCheckEvents {
    std::vector<std::string> seen;
    void SpellReplace(std::u16string_view from, std::u16string_view to, std::int32_t at,
                      std::vector<std::u16string>&) override {
      seen.push_back(ToUtf8(from) + "->" + ToUtf8(to) + "@" + std::to_string(at));
    }
  } events;
  engine_.Advise(&events);
  users_.assign(2, [](QDialog& window) { ClickItem(window, 0, true); });
  engine_.CheckText(u"Teh cat sat on teh mat.");
  engine_.Unadvise(&events);
  EXPECT_THAT(events.seen, ElementsAre("Teh->The@0", "teh->the@15"));
}

// The installed yield lets Qt's events through during a run; RemoveDialogView takes it away.
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

// An application that quits while the dialog is up ends the showing as a failure, not a hang;
// other threads, which cannot have Qt windows, are refused.
TEST_F(WindowViewTest, QuittingAndOtherThreadsFailCleanly) {
  users_.push_back([](QDialog&) { QCoreApplication::exit(3); });
  try {
    engine_.ShowSuggestionDialog(u"Teh");
    ADD_FAILURE() << "the showing answered";
  } catch (const Error& error) {
    EXPECT_EQ(error.number(), kErrorDialogLeftShown);
  }
  EXPECT_EQ(ShownWindow(), nullptr);
  // The thread's event loops run again once the application's own loop has started afresh.
  QTimer::singleShot(0, qApp, &QCoreApplication::quit);
  QApplication::exec();

  std::thread([] { EXPECT_THAT(Refusal(InstallDialogView), HasSubstr("main thread")); }).join();
}

}  // namespace
}  // namespace lexivane::qt

// Before the QApplication exists the view refuses, installed or used directly, and says why.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  using lexivane::qt::Refusal;
  lexivane::qt::WindowView view;
  lexivane::SetDialogView(&view);
  const std::string refusals = Refusal(lexivane::qt::InstallDialogView) +
                               Refusal([] { lexivane::SpellCheck().ShowSuggestionDialog(u"Teh"); });
  lexivane::SetDialogView(nullptr);
  if (refusals.find("QApplication") == refusals.rfind("QApplication")) {  // not both
    std::fprintf(stderr, "without a QApplication the Qt view did not refuse: %s\n",
                 refusals.c_str());
    return 1;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
