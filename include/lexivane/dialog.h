// The suggestions dialog as a host uses it: the dialog's interfaces and the scripted view
// (lexivane/suggestions_dialog.h), and SetDialogView, which chooses the view that shows the
// dialog on the calling thread. The installed view is part of that thread's state and is used
// on that thread only.
#pragma once

#include "lexivane/export.h"
#include "lexivane/suggestions_dialog.h"

namespace lexivane {

// Installs the calling thread's view; nullptr removes it and restores the platform's default.
// The view is not owned and must outlive its installation. On Windows the default is the
// system's own window (a modal dialog of Win32 controls); elsewhere there is none, and showing
// the dialog without an installed view throws lexivane::Error.
LEXIVANE_API void SetDialogView(DialogView* view);

}  // namespace lexivane
