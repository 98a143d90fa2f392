// Win32DialogView: the suggestions dialog as a Windows dialog box of system controls, the view a
// Windows thread uses unless its host installs another.
//
// Each showing builds a fresh window from the model's control table: the dialog manager's own
// window class from an in-memory template that holds only the caption style and the font
// ("MS Shell Dlg", 8 points), and one child window per control, placed in pixels at the
// window's dots per inch (MulDiv(twips, dpi, 1440)), so that the client area and every control
// come out exactly as the table's twips say. A template in dialog units would round the twips
// through the font's average character size instead. The controls are created in tab order,
// which is the order the dialog manager tabs through them.
//
// ShowModal runs a modal loop of its own through IsDialogMessage, so Enter, Esc, Tab and the
// access keys behave as in any dialog box, and returns once the model is hidden. The window has
// no owner. Messages for the host's other windows on the thread are dispatched meanwhile. An
// exception thrown while handling a message never leaves the window procedure: it ends the loop
// and ShowModal rethrows it. A WM_QUIT ends the loop too, with the dialog still shown (so the
// showing fails), and is posted again for the host's own loop.
//
// Stateless between showings: one object serves any number of threads, each showing on its own.
#pragma once

#include "lexivane/suggestions_dialog.h"

namespace lexivane {

class Win32DialogView final : public DialogView {
 public:
  void ShowModal(SuggestionsDialog& dialog) override;
};

}  // namespace lexivane
