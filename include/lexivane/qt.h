// The suggestions dialog as a Qt 6 Widgets window: liblexivane-qt (CMake
// find_package(lexivane COMPONENTS qt) -> lexivane::qt; pkg-config lexivane-qt).
//
// Everything here runs on the application's main (GUI) thread, the one that owns the
// QApplication, and needs that QApplication to exist: Qt widgets live on that thread only. Called
// without a QApplication or from another thread, these functions throw lexivane::Error
// (kErrorNoDialogView) instead of letting Qt abort the program; the host can then show the dialog
// through a view of its own. Each showing builds a fresh window with no parent, runs a modal
// event loop of its own until a closing button hides the dialog, and destroys the window again.
// The frame's close button answers as the model's Close() does. See docs/dialog.md.
#pragma once

#include "lexivane/dialog.h"

// LEXIVANE_QT_API: what liblexivane-qt exports, as LEXIVANE_API does for liblexivane.
#if defined(LEXIVANE_QT_BUILDING)
#define LEXIVANE_QT_API __attribute__((visibility("default")))
#else
#define LEXIVANE_QT_API
#endif

namespace lexivane::qt {

// The Qt window as a DialogView, for hosts that compose views (a view that wraps another).
// ShowModal throws lexivane::Error when no QApplication exists or when called off the
// application's main (GUI) thread. Stateless between showings: one object serves every showing.
class LEXIVANE_QT_API WindowView final : public DialogView {
 public:
  void ShowModal(SuggestionsDialog& dialog) override;
};

// Installs the Qt window as the calling thread's dialog view, and a yield that processes the
// thread's pending Qt events (see lexivane/yield.h). A text check run yields once per token, so
// the yield processes events at most once every few milliseconds (measured with a steady clock)
// and returns at once otherwise. Throws lexivane::Error, installing nothing, when no QApplication
// exists or off the main thread.
LEXIVANE_QT_API void InstallDialogView();
// Restores the thread's defaults: no view, the default yield.
LEXIVANE_QT_API void RemoveDialogView();

}  // namespace lexivane::qt
