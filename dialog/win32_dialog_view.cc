#include "dialog/win32_dialog_view.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <vector>

#include "lexivane/error.h"

namespace lexivane {
namespace {

constexpr UINT_PTR kTimerId = 1;
// Control i of the table has the id kFirstControlId + i: clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter (when the default button is disabled) and Esc.
constexpr int kFirstControlId = 100;
constexpr int kTwipsPerInch = 1440;

constexpr std::size_t kControlCount =
    std::tuple_size_v<std::remove_reference_t<decltype(SuggestionsDialog::Controls())>>;

constexpr DialogButton kButtons[] = {
    DialogButton::Change,  DialogButton::ChangeAll, DialogButton::Ignore, DialogButton::IgnoreAll,
    DialogButton::AddWord, DialogButton::Suggest,   DialogButton::Cancel};

std::size_t IndexOf(const DialogControl& control) {
  return static_cast<std::size_t>(&control - SuggestionsDialog::Controls().data());
}

// The box and the list: the one control of their kind.
const DialogControl& OnlyControlOf(DialogControl::Kind kind) {
  const auto& table = SuggestionsDialog::Controls();
  return *std::find_if(table.begin(), table.end(),
                       [kind](const DialogControl& control) { return control.kind == kind; });
}

const wchar_t* Wide(std::u16string_view text) {
  return reinterpret_cast<const wchar_t*>(text.data());
}

std::u16string TextOf(HWND window) {
  std::u16string text(static_cast<std::size_t>(::GetWindowTextLengthW(window)) + 1, u'\0');
  const int length = ::GetWindowTextW(window, reinterpret_cast<wchar_t*>(text.data()),
                                      static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

void SetTextOf(HWND window, std::u16string_view text) {
  if (TextOf(window) != text) ::SetWindowTextW(window, Wide(std::u16string(text)));
}

// A dialog template with no controls: it gives the window the dialog manager's class, the frame
// and the font. Size and caption are set once the font is known.
std::vector<WORD> EmptyDialogTemplate() {
  constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
  // clang-format off
  std::vector<WORD> words = {
      LOWORD(kStyle), HIWORD(kStyle),
      0, 0,        // extended style
      0,           // no controls
      0, 0, 0, 0,  // position and size
      0,           // no menu
      0,           // the dialog class
      0,           // no caption
      8,           // point size, then the face name
  };
  // clang-format on
  for (const wchar_t* face = L"MS Shell Dlg"; *face != L'\0'; ++face) words.push_back(*face);
  words.push_back(0);
  return words;
}

HINSTANCE ThisModule();

// One showing: the window, its controls and what they last drew.
class DialogWindow final : public DialogObserver {
 public:
  explicit DialogWindow(SuggestionsDialog& dialog) : dialog_(dialog) {}
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  ~DialogWindow() override;

  void Run();

  void DialogChanged() override;

 private:
  static INT_PTR CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  bool Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Build();
  void Command(int id, int code);
  void Refresh();
  HWND Control(const DialogControl& control) const { return controls_[IndexOf(control)]; }
  HWND Control(DialogButton button) const { return Control(SuggestionsDialog::ControlFor(button)); }
  HWND Box() const { return Control(OnlyControlOf(DialogControl::Kind::TextBox)); }
  HWND List() const { return Control(OnlyControlOf(DialogControl::Kind::ListBox)); }

  SuggestionsDialog& dialog_;
  HWND window_ = nullptr;
  std::array<HWND, kControlCount> controls_{};
  std::vector<std::u16string> drawn_items_;  // what the list box holds
  bool built_ = false;                       // every control exists
  bool refreshing_ = false;  // our own changes to the controls are not the user's input
  std::exception_ptr failure_;
};

DialogWindow::~DialogWindow() {
  dialog_.SetObserver(nullptr);
  if (window_ != nullptr) {
    ::KillTimer(window_, kTimerId);
    ::DestroyWindow(window_);
  }
}

void DialogWindow::Run() {
  const std::vector<WORD> layout = EmptyDialogTemplate();
  const HWND window = ::CreateDialogIndirectParamW(
      ThisModule(), reinterpret_cast<const DLGTEMPLATE*>(layout.data()), nullptr, &Procedure,
      reinterpret_cast<LPARAM>(this));
  if (failure_) std::rethrow_exception(failure_);
  if (window == nullptr) {
    throw Error(static_cast<int>(::GetLastError()),
                "cannot create the window of the suggestions dialog");
  }
  dialog_.SetObserver(this);
  Refresh();
  ::ShowWindow(window_, SW_SHOW);
  ::SetForegroundWindow(window_);
  ::SetFocus(Box());
  ::SendMessageW(Box(), EM_SETSEL, 0, -1);

  MSG message;
  while (dialog_.IsShown() && window_ != nullptr && !failure_) {
    const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
    if (got == 0) {
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (got == -1) {
      throw Error(static_cast<int>(::GetLastError()),
                  "the suggestions dialog's message loop failed");
    }
    if (!::IsDialogMessageW(window_, &message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  if (failure_) std::rethrow_exception(failure_);
}

void DialogWindow::DialogChanged() {
  if (window_ == nullptr || failure_) return;
  try {
    Refresh();
  } catch (...) {
    failure_ = std::current_exception();
  }
  // A change made outside the window's own messages (a host's DisableButtons from its timer)
  // may have hidden the dialog: wake the loop so that it looks.
  ::PostMessageW(window_, WM_NULL, 0, 0);
}

INT_PTR CALLBACK DialogWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    ::SetWindowLongPtrW(window, DWLP_USER, lparam);
    reinterpret_cast<DialogWindow*>(lparam)->window_ = window;
  }
  auto* self = reinterpret_cast<DialogWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
  if (self == nullptr) return FALSE;
  if (message == WM_NCDESTROY) {
    self->window_ = nullptr;
    return FALSE;
  }
  if (self->failure_) return FALSE;
  try {
    return self->Handle(message, wparam, lparam) ? TRUE : FALSE;
  } catch (...) {
    self->failure_ = std::current_exception();
    ::PostMessageW(window, WM_NULL, 0, 0);
    return TRUE;
  }
}

bool DialogWindow::Handle(UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      Build();
      return false;  // the focus is set once the window is shown
    case WM_COMMAND:
      if (!built_) return false;  // the controls announcing themselves while being made
      // No redraw here: whatever the command changed in the model comes back through
      // DialogChanged. A redraw on every notification would also catch the box between its
      // EN_UPDATE and its EN_CHANGE and put the model's old text back over the user's.
      Command(LOWORD(wparam), HIWORD(wparam));
      return true;
    case WM_TIMER:
      if (wparam != kTimerId) return false;
      dialog_.Tick();
      return true;
    case WM_CLOSE:  // the frame's close button, Alt+F4, the system menu
      dialog_.Close();
      return true;
  }
  return false;
}

void DialogWindow::Build() {
  const HDC screen = ::GetDC(window_);
  const int dpi_x = ::GetDeviceCaps(screen, LOGPIXELSX);
  const int dpi_y = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(window_, screen);
  const auto x = [dpi_x](std::int32_t twips) { return ::MulDiv(twips, dpi_x, kTwipsPerInch); };
  const auto y = [dpi_y](std::int32_t twips) { return ::MulDiv(twips, dpi_y, kTwipsPerInch); };

  // The frame around a client area of the table's size, centred on the work area.
  RECT frame = {0, 0, x(SuggestionsDialog::kClientWidth), y(SuggestionsDialog::kClientHeight)};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(window_, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(::GetWindowLongW(window_, GWL_EXSTYLE)));
  RECT work;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  ::SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);

  // Created in tab order: the dialog manager tabs through its children in creation order.
  const auto& table = SuggestionsDialog::Controls();
  std::array<const DialogControl*, kControlCount> by_tab_order;
  for (const DialogControl& control : table) {
    by_tab_order[static_cast<std::size_t>(control.tab_order)] = &control;
  }
  const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0));
  const DialogControl& change = SuggestionsDialog::ControlFor(DialogButton::Change);
  for (const DialogControl* control : by_tab_order) {
    const wchar_t* window_class = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
    DWORD extended = 0;
    switch (control->kind) {
      case DialogControl::Kind::Label:
        window_class = L"STATIC";
        style = WS_CHILD | WS_VISIBLE | SS_LEFT;
        break;
      case DialogControl::Kind::TextBox:
        window_class = L"EDIT";
        style |= ES_LEFT | ES_AUTOHSCROLL;
        extended = WS_EX_CLIENTEDGE;
        break;
      case DialogControl::Kind::ListBox:
        // Unsorted, and exactly as high as the table says rather than a whole number of items.
        window_class = L"LISTBOX";
        style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        extended = WS_EX_CLIENTEDGE;
        break;
      case DialogControl::Kind::Button:
        style |= control == &change ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        break;
    }
    const std::size_t i = IndexOf(*control);
    const HWND child = ::CreateWindowExW(
        extended, window_class, Wide(std::u16string(control->caption)), style, x(control->left),
        y(control->top), x(control->width), y(control->height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + static_cast<int>(i))),
        ThisModule(), nullptr);
    if (child == nullptr) {
      throw Error(static_cast<int>(::GetLastError()),
                  "cannot create the control " +
                      std::string(control->name.begin(), control->name.end()) +
                      " of the suggestions dialog");
    }
    ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    controls_[i] = child;
  }
  ::SendMessageW(window_, DM_SETDEFID, kFirstControlId + static_cast<int>(IndexOf(change)), 0);
  ::SetTimer(window_, kTimerId, SuggestionsDialog::kTimerIntervalMs, nullptr);
  built_ = true;
}

void DialogWindow::Command(int id, int code) {
  if (id == IDOK) return dialog_.PressEnter();  // Enter while the default button is disabled
  if (id == IDCANCEL) return dialog_.PressEscape();
  const auto& table = SuggestionsDialog::Controls();
  const std::size_t i = static_cast<std::size_t>(id - kFirstControlId);
  if (id < kFirstControlId || i >= table.size()) return;
  switch (table[i].kind) {
    case DialogControl::Kind::TextBox:
      if (code == EN_CHANGE && !refreshing_) dialog_.SetChangeToText(TextOf(controls_[i]));
      return;
    case DialogControl::Kind::ListBox: {
      const int item = static_cast<int>(::SendMessageW(controls_[i], LB_GETCURSEL, 0, 0));
      if (code == LBN_SELCHANGE) dialog_.Select(item);
      if (code == LBN_DBLCLK && item >= 0) dialog_.DoubleClick(item);
      return;
    }
    case DialogControl::Kind::Button:
      if (code != BN_CLICKED) return;
      for (DialogButton button : kButtons) {
        if (IndexOf(SuggestionsDialog::ControlFor(button)) == i) return dialog_.Click(button);
      }
      return;
    case DialogControl::Kind::Label:
      return;
  }
}

// Brings every control in line with the model, touching only what differs, so that a redraw
// neither flickers nor moves the caret of the box while the user types.
void DialogWindow::Refresh() {
  if (window_ == nullptr || !built_) return;
  struct Guard {
    bool& flag;
    bool was;
    explicit Guard(bool& f) : flag(f), was(f) { flag = true; }
    ~Guard() { flag = was; }
  } guard(refreshing_);

  SetTextOf(window_, dialog_.Caption());
  SetTextOf(Box(), dialog_.ChangeToText());

  const HWND list = List();
  if (dialog_.Suggestions() != drawn_items_) {
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::u16string& item : dialog_.Suggestions()) {
      ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item)));
    }
    drawn_items_ = dialog_.Suggestions();
  }
  const int selected = dialog_.SelectedIndex();
  if (static_cast<int>(::SendMessageW(list, LB_GETCURSEL, 0, 0)) != selected) {
    ::SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  }

  for (DialogButton button : kButtons) {
    const HWND control = Control(button);
    const bool enabled = dialog_.IsEnabled(button);
    const bool visible = dialog_.IsVisible(button);
    if ((::IsWindowEnabled(control) != FALSE) != enabled) ::EnableWindow(control, enabled);
    const bool was_visible = (::GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (was_visible != visible) ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
  }
  // Keyboard input would stop at a control that can no longer take it.
  const HWND focus = ::GetFocus();
  if (focus != nullptr && ::IsChild(window_, focus) &&
      (!::IsWindowEnabled(focus) || !::IsWindowVisible(focus))) {
    ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
  }
}

HINSTANCE ThisModule() {
  HMODULE module = nullptr;
  ::GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

}  // namespace

void Win32DialogView::ShowModal(SuggestionsDialog& dialog) {
  DialogWindow window(dialog);
  window.Run();
}

}  // namespace lexivane
