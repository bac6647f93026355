#include "forms/win32/group_frame.h"

#include <commctrl.h>

namespace forms::win32 {

namespace {

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

}  // namespace

void DrawAsGroup(HWND group, bool greyedTitle) { SetWindowSubclass(group, GroupProc, 0, greyedTitle); }

}  // namespace forms::win32
