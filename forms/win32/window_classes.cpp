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

void PaintGroup(HWND group, HDC dc, bool greyedTitle) {
  constexpr int kTitleLeft = 8;
  constexpr int kTitlePadding = 2;
  RECT area;
  GetClientRect(group, &area);
  HGDIOBJ before = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(group, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics;
  GetTextMetricsA(dc, &metrics);
  RECT frame = area;
  frame.top += metrics.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  char title[256] = {};
  const int length = GetWindowTextA(group, title, sizeof title);
  if (length > 0) {
    RECT place{kTitleLeft, 0, kTitleLeft, metrics.tmHeight};
    DrawTextA(dc, title, length, &place, DT_CALCRECT | DT_SINGLELINE);
    place.right += 2 * kTitlePadding;
    FillRect(dc, &place, GetSysColorBrush(COLOR_BTNFACE));
    const bool greyed = greyedTitle && !IsWindowEnabled(group);
    SetTextColor(dc, GetSysColor(greyed ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    SetBkMode(dc, TRANSPARENT);
    DrawTextA(dc, title, length, &place, DT_CENTER | DT_SINGLELINE);
  }
  SelectObject(dc, before);
}

LRESULT CALLBACK GroupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR greyedTitle) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT area;
      GetClientRect(window, &area);
      FillRect(reinterpret_cast<HDC>(wParam), &area, GetSysColorBrush(COLOR_BTNFACE));
      return TRUE;
    }
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      PaintGroup(window, dc, greyedTitle != 0);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ENABLE:
      InvalidateRect(window, nullptr, TRUE);
      break;
    default:
      break;
  }
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

void DrawAsGroup(HWND group, bool greyedTitle) { SetWindowSubclass(group, GroupProc, 2, greyedTitle); }

UINT PostedCallMessage() {
  static const UINT message = RegisterWindowMessageA("TolvanePostedCall");
  return message;
}

UINT AreaPaintedMessage() {
  static const UINT message = RegisterWindowMessageA("TolvaneAreaPainted");
  return message;
}

}  // namespace forms::win32
