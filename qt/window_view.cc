#include <QApplication>
#include <QThread>
#include <chrono>
#include <memory>
#include <string>

#include "lexivane/error.h"
#include "lexivane/qt.h"
#include "lexivane/yield.h"
#include "qt/dialog_window.h"

namespace lexivane::qt {
namespace {

// A text check run yields once per token, many thousands of times a second: processing
// Qt's events each time would cost more than the check itself. Every 5 ms keeps the host's
// windows responsive at a negligible cost.
constexpr auto kYieldInterval = std::chrono::milliseconds(5);

// Qt's widgets exist only on the thread of the QApplication; Qt aborts the program otherwise,
// so the view refuses here, with an error that the host can catch.
void RequireGuiThread(const char* what) {
  if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
    throw Error(kErrorNoDialogView, std::string(what) +
                                        ": the Qt window of the suggestions dialog needs a "
                                        "QApplication, and none exists");
  }
  if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
    throw Error(kErrorNoDialogView,
                std::string(what) +
                    ": the Qt window of the suggestions dialog can be shown only "
                    "on the QApplication's main thread");
  }
}

}  // namespace

void WindowView::ShowModal(SuggestionsDialog& dialog) {
  RequireGuiThread("WindowView::ShowModal");
  DialogWindow window(dialog);
  window.Run();
}

void InstallDialogView() {
  RequireGuiThread("InstallDialogView");
  // Stateless between showings, and only ever used on the GUI thread.
  static WindowView view;
  // The yield's clock lives outside the function object: the run calls a copy of it each time.
  auto last = std::make_shared<std::chrono::steady_clock::time_point>();
  SetYieldFunction([last] {
    const auto now = std::chrono::steady_clock::now();
    if (now - *last < kYieldInterval || QCoreApplication::instance() == nullptr) return;
    *last = now;
    QCoreApplication::processEvents();
  });
  SetDialogView(&view);
}

void RemoveDialogView() {
  SetDialogView(nullptr);
  SetYieldFunction({});
}

}  // namespace lexivane::qt
