#include "forms/win32/window_classes.h"

#include <commctrl.h>

namespace forms::win32 {

namespace {

LRESULT ToForm(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(GetAncestor(window, GA_ROOT), message, wParam, lParam);
}

LRESULT CALLBACK ContainerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (IsChildNotification(message)) return ToForm(window, message, wParam, lParam);
  return DefWindowProcA(window, message, wParam, lParam);
}

// What a driver drew is gone after a repaint: the form draws its last image
// again once the area is painted.
LRESULT CALLBACK DrawingAreaProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  ToForm(window, AreaPaintedMessage(), 0, 0);
  return 0;
}

LRESULT CALLBACK ForwardingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (IsChildNotification(message)) return ToForm(window, message, wParam, lParam);
  return DefSubclassProc(window, message, wParam, lParam);
}

void RegisterClass(const char* name, WNDPROC proc, int extraBytes) {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = proc;
  windowClass.cbWndExtra = extraBytes;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = name;
  // The program's icon, where the executable carries one.
  windowClass.hIcon = LoadIconA(windowClass.hInstance, MAKEINTRESOURCEA(1));
  RegisterClassExA(&windowClass);
}

}  // namespace

void RegisterWindowClasses(WNDPROC formProc) {
  static const bool registered = [formProc] {
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterClass(kFormClass, formProc, sizeof(void*));
    RegisterClass(kContainerClass, ContainerProc, 0);
    RegisterClass(kDrawingAreaClass, DrawingAreaProc, 0);
    return true;
  }();
  (void)registered;
}

bool IsChildNotification(UINT message) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_DRAWITEM:
      return true;
    default:
      return false;
  }
}

void ForwardChildNotifications(HWND control) { SetWindowSubclass(control, ForwardingProc, 1, 0); }

UINT PostedCallMessage() {
  static const UINT message = RegisterWindowMessageA("TolvanePostedCall");
  return message;
}

UINT AreaPaintedMessage() {
  static const UINT message = RegisterWindowMessageA("TolvaneAreaPainted");
  return message;
}

}  // namespace forms::win32
