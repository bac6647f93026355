#include "forms/win32/window_control.h"

#include <commctrl.h>

#include <vector>

namespace forms::win32 {

namespace {

// The window property that ties a window to its control: the standard
// classes' own data stays theirs, and the system drops the property with
// the window.
constexpr const char* kControlProperty = "TolvaneControl";

}  // namespace

WindowControl::WindowControl(HWND window, std::string name, FormResources& resources)
    : window_(window), name_(std::move(name)), resources_(resources) {
  SetPropA(window, kControlProperty, this);
  if (const WindowControl* parent = Of(GetParent(window))) font_ = parent->font_;
  ApplyFont();
}

WindowControl* WindowControl::Of(HWND window) {
  return static_cast<WindowControl*>(GetPropA(window, kControlProperty));
}

std::optional<Color> WindowControl::ShownTextColor() const {
  if (!textColor_ || !IsWindowEnabled(window_)) return std::nullopt;
  return textColor_;
}

void WindowControl::ChangeTextColor(Color color) {
  textColor_ = color;
  InvalidateRect(window_, nullptr, TRUE);
}

void WindowControl::InheritFont(const ControlFont& font) {
  if (ownFont_) return;
  font_ = font;
  ApplyFont();
}

void WindowControl::ChangeFont(const ControlFont& font) {
  ownFont_ = true;
  font_ = font;
  ApplyFont();
}

void WindowControl::ChangeBold(bool bold) {
  ControlFont font = font_;
  font.bold = bold;
  ChangeFont(font);
}

// The children that follow the control's font follow it now.
void WindowControl::ApplyFont() {
  if (font_.face.empty()) return;
  SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(resources_.fonts.Get(font_)), TRUE);
  for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (WindowControl* control = Of(child)) control->InheritFont(font_);
  }
  FontChanged();
}

std::string WindowControl::WindowText() const {
  std::vector<char> text(static_cast<size_t>(GetWindowTextLengthA(window_)) + 1);
  GetWindowTextA(window_, text.data(), static_cast<int>(text.size()));
  return text.data();
}

void WindowControl::ChangeText(const std::string& text) { SetWindowTextA(window_, text.c_str()); }

int WindowControl::TextWidth(const std::string& text) const { return TextSize(text).cx; }

// As a label draws it: "&" marks the next character.
SIZE WindowControl::TextSize(const std::string& text) const {
  HDC dc = GetDC(window_);
  HGDIOBJ before = SelectObject(dc, resources_.fonts.Get(font_));
  RECT area{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | DT_SINGLELINE);
  SelectObject(dc, before);
  ReleaseDC(window_, dc);
  return SIZE{area.right - area.left, area.bottom - area.top};
}

Bounds WindowControl::PlaceInParent() const {
  RECT area;
  GetWindowRect(window_, &area);
  MapWindowPoints(HWND_DESKTOP, GetParent(window_), reinterpret_cast<POINT*>(&area), 2);
  return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

void WindowControl::ChangePlace(const Bounds& bounds) {
  MoveWindow(window_, bounds.left, bounds.top, bounds.width, bounds.height, TRUE);
}

bool WindowControl::ShownItself() const { return (GetWindowLongPtrA(window_, GWL_STYLE) & WS_VISIBLE) != 0; }

void WindowControl::ChangeToolTip(const std::string& hint) {
  hint_ = hint;
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(window_);
  tool.uId = reinterpret_cast<UINT_PTR>(window_);
  tool.lpszText = hint_.data();
  SendMessageA(resources_.toolTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  if (!hint_.empty()) SendMessageA(resources_.toolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

std::string WithoutOuterSpaces(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool TakesInput(HWND window) {
  for (; window; window = GetParent(window)) {
    if (!IsWindowEnabled(window)) return false;
    if (!(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) break;
  }
  return true;
}

}  // namespace forms::win32
