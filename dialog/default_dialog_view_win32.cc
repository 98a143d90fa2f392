#include "dialog/default_dialog_view.h"

#include "dialog/win32_dialog_view.h"

namespace lexivane {

DialogView* DefaultDialogView() {
  static Win32DialogView view;
  return &view;
}

}  // namespace lexivane
