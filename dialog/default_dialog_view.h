// The view that shows the suggestions dialog on a thread whose host installed none: the system's
// own dialog window on Windows (Win32DialogView), none elsewhere. The build picks the
// implementation file. The view lives as long as the program and serves every thread.
#pragma once

namespace lexivane {

class DialogView;

// nullptr where the platform has no window of its own to offer.
DialogView* DefaultDialogView();

}  // namespace lexivane
