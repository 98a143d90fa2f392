// DialogWindow: one showing of the suggestions dialog as a Qt window, built from the model's
// control table and destroyed when the showing ends.
//
// The window is a QDialog without a parent (for its default-button and Esc handling; only the
// model ever hides it) with one widget per row of SuggestionsDialog::Controls(), the row's name
// as objectName, each placed in pixels converted from the table's twips at the window's logical
// dots per inch, rounded to the nearest pixel as the Windows window does, so that both windows
// come out the same size. Its font is the application's face at the 8 points the layout was drawn
// for, or smaller where a caption would not fit its control at that size. The window follows the
// model through DialogObserver, touching only what differs, and forwards what the user does to
// the model; the model's own redraw is never taken for the user's input.
//
// Run() shows the window application-modal and runs an event loop of its own until the model is
// hidden. An exception from the model never crosses Qt's event loop: it ends the loop and Run()
// rethrows it. If the application's event loops are told to exit (QCoreApplication::exit), the
// loop ends with the dialog still shown, so that the showing fails rather than block the exit.
// Main (GUI) thread only.
#pragma once

#include <QDialog>
#include <QEventLoop>
#include <QTimer>
#include <array>
#include <cstddef>
#include <exception>
#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "lexivane/dialog.h"

class QLineEdit;
class QListWidget;
class QPushButton;

namespace lexivane::qt {

class DialogWindow final : public QDialog, public DialogObserver {
 public:
  explicit DialogWindow(SuggestionsDialog& dialog);
  ~DialogWindow() override;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  void Run();

  void DialogChanged() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void Build();
  // Sizes the window's font so that the controls' captions fit them.
  void FitFont();
  void Refresh();
  // Runs one of the user's actions on the model; an exception ends the showing.
  void Forward(const std::function<void()>& action);
  QPushButton* Button(DialogButton button) const;

  static constexpr std::size_t kControlCount =
      std::tuple_size_v<std::remove_reference_t<decltype(SuggestionsDialog::Controls())>>;

  SuggestionsDialog& dialog_;
  std::array<QWidget*, kControlCount> controls_{};  // in the order of Controls()
  QLineEdit* box_ = nullptr;
  QListWidget* list_ = nullptr;
  std::vector<std::u16string> drawn_items_;  // what the list holds
  QTimer timer_;
  QEventLoop loop_;
  bool refreshing_ = false;  // our own changes to the widgets are not the user's input
  std::exception_ptr failure_;
};

}  // namespace lexivane::qt
