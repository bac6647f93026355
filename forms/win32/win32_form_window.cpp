#include "forms/win32/win32_form_window.h"

#include <commctrl.h>

#include <stdexcept>

#include "forms/win32/message_loop.h"
#include "forms/win32/window_classes.h"

namespace forms::win32 {

namespace {

constexpr int kModalResultCancel = 2;

// The main window: the tool-window border, fixed in size, with a button on
// the task bar. A dialog: a modal frame.
constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kMainExtendedStyle = WS_EX_TOOLWINDOW | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kDialogExtendedStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// The program's main window, the owner of its modal dialogs.
HWND mainWindow = nullptr;

DWORD Style(FormKind kind) { return kind == FormKind::Main ? kMainStyle : kDialogStyle; }
DWORD ExtendedStyle(FormKind kind) { return kind == FormKind::Main ? kMainExtendedStyle : kDialogExtendedStyle; }

}  // namespace

FormWindow::FormWindow(const FormDescription& description)
    : name_(description.name),
      kind_(description.kind),
      clientWidth_(description.clientWidth),
      clientHeight_(description.clientHeight),
      thread_(GetCurrentThreadId()) {
  RegisterWindowClasses(Proc);
  CreateWindowExA(ExtendedStyle(kind_), kFormClass, description.caption.c_str(), Style(kind_), description.left,
                  description.top, clientWidth_, clientHeight_, nullptr, nullptr, GetModuleHandleA(nullptr), this);
  if (!window_) throw std::runtime_error("The window " + name_ + " could not be created");
  calls_ = std::make_unique<PostedCalls>(window_);
  resources_.toolTips =
      CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, GetModuleHandleA(nullptr), nullptr);
  client_ = Keep(std::make_unique<Panel>(window_, kind_ == FormKind::Main ? "ClientArea" : name_, resources_));
  client_->ChangeFont({description.font.face, description.font.height, false});
  FixSize();
  if (kind_ == FormKind::Main) mainWindow = window_;
}

// The window and every control window go first, the controls' wrappers after.
FormWindow::~FormWindow() {
  if (mainWindow == window_) mainWindow = nullptr;
  DestroyWindow(window_);
  components_.clear();
}

LRESULT CALLBACK FormWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* form = static_cast<FormWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    form->window_ = window;
    SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<FormWindow*>(GetWindowLongPtrA(window, 0));
  if (message == WM_NCDESTROY) SetWindowLongPtrA(window, 0, 0);
  return form ? form->Dispatch(message, wParam, lParam) : DefWindowProcA(window, message, wParam, lParam);
}

LRESULT FormWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PostedCallMessage()) {
    calls_->RunOldest();
    return 0;
  }
  if (message == AreaPaintedMessage()) {
    if (OnPaint) OnPaint();
    return 0;
  }
  switch (message) {
    case WM_COMMAND:
      Command(wParam, lParam);
      return 0;
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (WindowControl* control = WindowControl::Of(header->hwndFrom)) control->Notify(*header);
      break;
    }
    case WM_HSCROLL:
      if (WindowControl* control = WindowControl::Of(reinterpret_cast<HWND>(lParam))) {
        control->Scroll(LOWORD(wParam));
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return ControlColors(message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (WindowControl* control = WindowControl::Of(item->hwndItem)) control->Draw(*item);
      return TRUE;
    }
    case WM_TIMER:
      TimerElapsed(wParam);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(window_, &paint);
      EndPaint(window_, &paint);
      if (OnPaint) OnPaint();
      return 0;
    }
    case DM_GETDEFID:
      return defaultButton_ ? MAKELRESULT(GetDlgCtrlID(defaultButton_->Window()), DC_HASDEFID) : 0;
    case WM_QUERYENDSESSION:
      CloseForEndOfSession();
      return TRUE;
    case WM_ENDSESSION:
      if (wParam) CloseForEndOfSession();
      return 0;
    case WM_CLOSE:
    case WM_DEVICECHANGE:
    case WM_POWERBROADCAST:
      return FormMessage(message, wParam, lParam);
    default:
      if (message >= WM_APP && message < 0xC000) return FormMessage(message, wParam, lParam);
      break;
  }
  return DefWindowProcA(window_, message, wParam, lParam);
}

// The form's own messages go to its dispatch, which answers them; a form
// without one closes on WM_CLOSE.
LRESULT FormWindow::FormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (OnMessage) return OnMessage(message, wParam, lParam);
  if (message == WM_CLOSE) Close();
  return message == WM_CLOSE ? 0 : DefWindowProcA(window_, message, wParam, lParam);
}

void FormWindow::CloseForEndOfSession() {
  if (kind_ == FormKind::Main && Visible()) SendMessageA(window_, WM_CLOSE, 0, 0);
}

// A menu command has no sender; Escape in a dialog is IDCANCEL.
void FormWindow::Command(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) {
    const UINT id = LOWORD(wParam);
    if (id == IDCANCEL && kind_ == FormKind::Dialog) {
      Close();
      return;
    }
    const auto item = menuItems_.find(id);
    if (item != menuItems_.end() && item->second->OnClick) item->second->OnClick();
    return;
  }
  if (WindowControl* control = WindowControl::Of(reinterpret_cast<HWND>(lParam))) control->Command(HIWORD(wParam));
}

// The form's edits show values: the button face behind their text. A control
// with a colour of its own writes in it while it is enabled.
LRESULT FormWindow::ControlColors(UINT message, HDC dc, HWND control) {
  if (message == WM_CTLCOLOREDIT) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  const LRESULT brush =
      DefWindowProcA(window_, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
  const WindowControl* colored = WindowControl::Of(control);
  if (colored && colored->ShownTextColor()) SetTextColor(dc, *colored->ShownTextColor());
  return brush;
}

void FormWindow::TimerElapsed(UINT_PTR id) {
  if (const auto timer = timers_.find(id); timer != timers_.end()) {
    if (timer->second->OnTimer) timer->second->OnTimer();
    return;
  }
  const auto delayed = delayedCalls_.find(id);
  if (delayed == delayedCalls_.end()) return;
  KillTimer(window_, id);
  const std::function<void()> call = std::move(delayed->second);
  delayedCalls_.erase(delayed);
  call();
}

void FormWindow::PostDelayed(int milliseconds, std::function<void()> call) {
  const UINT_PTR id = nextTimerId_++;
  delayedCalls_.emplace(id, std::move(call));
  SetTimer(window_, id, static_cast<UINT>(milliseconds), nullptr);
}

// Input is dropped while the stop waits, and what came meanwhile is dropped
// at its end: no click re-enters a half-finished stop.
void FormWindow::WaitWhile(const std::function<bool()>& condition) {
  while (condition()) {
    WaitForMessages(INFINITE);
    MSG message;
    while (condition() && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (IsUserInput(message.message)) continue;
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  DropUserInput();
}

// ---- the window itself -----------------------------------------------------------------

void FormWindow::FixSize() {
  const BOOL hasMenu = GetMenu(window_) != nullptr;
  RECT frame{0, 0, clientWidth_, clientHeight_};
  AdjustWindowRectEx(&frame, Style(kind_), hasMenu, ExtendedStyle(kind_));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // A menu bar that wraps onto a second line takes more than the estimate.
  RECT client;
  GetClientRect(window_, &client);
  const int missing = clientHeight_ - (client.bottom - client.top);
  if (missing != 0) {
    SetWindowPos(window_, nullptr, 0, 0, width, height + missing, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void FormWindow::SetVisible(bool visible) {
  if (visible) {
    Show();
  } else {
    ShowWindow(window_, SW_HIDE);
  }
}

Bounds FormWindow::BoundsRect() const {
  RECT frame;
  GetWindowRect(window_, &frame);
  return {frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top};
}

void FormWindow::SetBounds(const Bounds& bounds) {
  SetWindowPos(window_, nullptr, bounds.left, bounds.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A dialog shows centred on the screen.
void FormWindow::Show() {
  if (kind_ == FormKind::Dialog) {
    const Bounds frame = BoundsRect();
    SetBounds({(GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2, (GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2,
               frame.width, frame.height});
  }
  ShowWindow(window_, SW_SHOW);
  UpdateWindow(window_);
}

// Hidden, not destroyed: the components live as long as the form; the main
// window's loop ends once it is hidden.
void FormWindow::Close() {
  if (modal_) {
    EndModal(kModalResultCancel);
    return;
  }
  ShowWindow(window_, SW_HIDE);
}

// The main window is the dialog's owner and takes no input meanwhile.
int FormWindow::ShowModal() {
  HWND owner = mainWindow;
  SetWindowLongPtrA(window_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  if (owner) EnableWindow(owner, FALSE);
  modal_ = true;
  modalResult_ = 0;
  Show();
  MSG message;
  while (modalResult_ == 0 && GetMessageA(&message, nullptr, 0, 0) > 0) Deliver(message);
  modal_ = false;
  // The owner is enabled first, so that it is active again once the dialog hides.
  if (owner) EnableWindow(owner, TRUE);
  ShowWindow(window_, SW_HIDE);
  SetWindowLongPtrA(window_, GWLP_HWNDPARENT, 0);
  return modalResult_;
}

}  // namespace forms::win32

namespace forms {

std::unique_ptr<TFormWindow> CreateFormWindow(const FormDescription& description) {
  return std::make_unique<win32::FormWindow>(description);
}

}  // namespace forms
