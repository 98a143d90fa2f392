// lexivane-fix-window.so: the module behind MakeWindowFrontEnd, the only part of the tool that
// links Qt.
#include <QApplication>
#include <QMessageBox>

#include "fix/window_front_end.h"
#include "lexivane/qt.h"

namespace {

using lexivane::DialogView;
namespace qt = lexivane::qt;

class WindowFrontEnd final : public lexivane::frontend::fix::FrontEnd {
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

extern "C" __attribute__((visibility("default"))) lexivane::frontend::fix::FrontEnd*
lexivane_make_window_front_end() {
  return new WindowFrontEnd();
}
