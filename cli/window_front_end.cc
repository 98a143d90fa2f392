#include "cli/window_front_end.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

#include "lexivane/qt.h"

namespace lexivane::cli {

namespace {

bool Set(const char* name, bool empty_counts) {
  const char* value = std::getenv(name);
  return value != nullptr && (empty_counts || *value != '\0');
}

class WindowFrontEnd final : public FrontEnd {
 public:
  WindowFrontEnd() : application_(argc_, argv_) { qt::InstallDialogView(); }
  ~WindowFrontEnd() override { qt::RemoveDialogView(); }

  DialogView& view() override { return window_; }

  bool KeepChangesAfterCancel(std::size_t words_changed) override {
    const QString question =
        words_changed == 1 ? QStringLiteral("Keep the change made so far?")
                           : QStringLiteral("Keep the %1 changes made so far?").arg(words_changed);
    return QMessageBox::question(nullptr, QStringLiteral("lexivane fix"), question,
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }

 private:
  // QApplication keeps references to both for its whole life.
  int argc_ = 1;
  char name_[9] = "lexivane";
  char* argv_[2] = {name_, nullptr};
  QApplication application_;
  qt::WindowView window_;
};

}  // namespace

bool DisplayAvailable() {
  return Set("QT_QPA_PLATFORM", true) || Set("DISPLAY", false) || Set("WAYLAND_DISPLAY", false);
}

std::unique_ptr<FrontEnd> MakeWindowFrontEnd() {
  return std::make_unique<WindowFrontEnd>();
}

}  // namespace lexivane::cli
