#include "dialog/default_dialog_view.h"

namespace lexivane {

// Without a window system of its own, a host shows the dialog through a view it installs.
DialogView* DefaultDialogView() {
  return nullptr;
}

}  // namespace lexivane
