// Shows the suggestions dialog for one word (default "Teh") in its Qt window and prints the
// answer as UTF-8: the replacement, or "(cancelled)".
//
// With --on-screen it also serves scripts/screenshot-dialog.sh and scripts/check-install.sh:
// once the window is on the screen it prints "on-screen X Y WIDTH HEIGHT WINDOW" (the client
// area in screen pixels and the native window's id, from which an X tool finds the window
// manager's frame) and then closes the dialog through its frame as soon as a line arrives on
// standard input, so that a script can take its picture between the two. Closed through the
// frame, the dialog answers as Ignore: with the word itself.
#include <lexivane/lexivane.h>
#include <lexivane/qt.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <string>

namespace {

constexpr int kLookIntervalMs = 100;

QWidget* ShownDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == QLatin1String("frmSpellCheck") && widget->isVisible() &&
        widget->windowHandle() != nullptr && widget->windowHandle()->isExposed()) {
      return widget;
    }
  }
  return nullptr;
}

// Runs from the dialog's own event loop until the window is up.
void ReportWhenOnScreen(QApplication& app) {
  auto* look = new QTimer(&app);
  QObject::connect(look, &QTimer::timeout, &app, [look] {
    QWidget* dialog = ShownDialog();
    if (dialog == nullptr) return;
    look->stop();
    const QRect client = dialog->geometry();
    std::printf("on-screen %d %d %d %d 0x%llx\n", client.x(), client.y(), client.width(),
                client.height(), static_cast<unsigned long long>(dialog->winId()));
    std::fflush(stdout);
    auto* input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, dialog);
    QObject::connect(input, &QSocketNotifier::activated, dialog, [dialog, input] {
      input->setEnabled(false);
      dialog->close();
    });
  });
  look->start(kLookIntervalMs);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);  // takes Qt's own arguments (-platform ...) out of argv
  std::u16string word = u"Teh";
  bool on_screen = false;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--on-screen") {
      on_screen = true;
    } else {
      word = lexivane::FromUtf8(argv[i]);
    }
  }
  try {
    lexivane::qt::InstallDialogView();
    lexivane::SpellCheck engine;
    engine.Init();
    if (on_screen) ReportWhenOnScreen(app);
    const auto answer = engine.ShowSuggestionDialog(word);
    std::printf("%s\n", answer ? lexivane::ToUtf8(*answer).c_str() : "(cancelled)");
  } catch (const lexivane::Error& error) {
    std::fprintf(stderr, "show_dialog: %s\n", error.what());
    return 1;
  }
  return 0;
}
