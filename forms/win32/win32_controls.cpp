#include "forms/win32/win32_controls.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace forms::win32 {

namespace {

// The space a button's face gives its caption on either side, and a check
// box's box with the gap after it.
constexpr int kButtonTextMargins = 16;
constexpr int kCheckBoxGap = 6;

}  // namespace

std::string ItemText(HWND window, const ItemMessages& messages, int index) {
  const LRESULT length = SendMessageA(window, messages.textLength, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::vector<char> text(static_cast<size_t>(length) + 1);
  SendMessageA(window, messages.text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  return text.data();
}

// ---- buttons and boxes -------------------------------------------------------------

void Button::Click() {
  if (TakesInput(Window()) && OnClick) OnClick();
}

int Button::IdealWidth() const { return TextWidth(WindowText()) + kButtonTextMargins; }

void Button::SetFontColor(Color color) {
  const LONG_PTR style = GetWindowLongPtrA(Window(), GWL_STYLE);
  SetWindowLongPtrA(Window(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW);
  ChangeTextColor(color);
}

void Button::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

// The face and frame of a push button, the caption in the button's colour
// while it is enabled, and the focus frame inside the face.
void Button::Draw(const DRAWITEMSTRUCT& item) {
  constexpr int kFocusInset = 4;
  RECT face = item.rcItem;
  DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (item.itemState & ODS_SELECTED ? DFCS_PUSHED : 0));
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  SetTextColor(item.hDC, ShownTextColor().value_or(GetSysColor(disabled ? COLOR_GRAYTEXT : COLOR_BTNTEXT)));
  SetBkMode(item.hDC, TRANSPARENT);
  const std::string caption = WindowText();
  DrawTextA(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &face, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (item.itemState & ODS_FOCUS) {
    InflateRect(&face, -kFocusInset, -kFocusInset);
    DrawFocusRect(item.hDC, &face);
  }
}

bool CheckBox::Checked() const { return SendMessageA(Window(), BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The action runs on every change of state, by the user or the program.
void CheckBox::SetChecked(bool checked) {
  if (checked == Checked()) return;
  SendMessageA(Window(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  if (OnClick) OnClick();
}

void CheckBox::Click() {
  if (TakesInput(Window())) SetChecked(!Checked());
}

int CheckBox::IdealWidth() const { return GetSystemMetrics(SM_CXMENUCHECK) + kCheckBoxGap + TextWidth(WindowText()); }

// The box has changed its state itself.
void CheckBox::Command(WORD code) {
  if (code == BN_CLICKED && OnClick) OnClick();
}

// ---- labels and edits ------------------------------------------------------------------

Label::Label(HWND window, const std::string& name, FormResources& resources, bool autoSize)
    : Control(window, name, resources), autoSize_(autoSize) {
  FitCaption();
}

void Label::SetCaption(const std::string& caption) {
  ChangeText(caption);
  FitCaption();
}

// A label created just before its control names it for screen readers by
// itself; this names it also where the form made the two apart. A value
// label keeps its value as its name.
void Label::SetFocusControl(TControl* control) {
  if (dynamic_cast<TLabel*>(control)) return;
  control->SetAccessibleName(WithoutOuterSpaces(WindowText()));
}

void Label::FontChanged() { FitCaption(); }

void Label::FitCaption() {
  if (!autoSize_) return;
  const Bounds place = PlaceInParent();
  const SIZE size = TextSize(WindowText());
  ChangePlace({place.left, place.top, size.cx, size.cy});
}

bool Edit::ReadOnly() const { return (GetWindowLongPtrA(Window(), GWL_STYLE) & ES_READONLY) != 0; }

// ---- lists --------------------------------------------------------------------------------

void ComboBox::Choose(int index) {
  if (!TakesInput(Window()) || index < 0 || index >= Count()) return;
  SetItemIndex(index);
  if (OnChange) OnChange();
}

void ComboBox::SetBounds(const Bounds& bounds) {
  ChangePlace({bounds.left, bounds.top, bounds.width, bounds.height + kDropDownHeight});
}

void ComboBox::Command(WORD code) {
  if (code == CBN_SELCHANGE && OnChange) OnChange();
}

// ---- scroll bars ------------------------------------------------------------------------

int ScrollBar::Min() const {
  int min = 0;
  int max = 0;
  GetScrollRange(Window(), SB_CTL, &min, &max);
  return min;
}

int ScrollBar::Max() const {
  int min = 0;
  int max = 0;
  GetScrollRange(Window(), SB_CTL, &min, &max);
  return max;
}

int ScrollBar::Position() const { return GetScrollPos(Window(), SB_CTL); }

// Also a move the program makes runs the action, as a move by the user does.
void ScrollBar::SetPosition(int position) {
  const int clamped = std::clamp(position, Min(), Max());
  if (clamped == Position()) return;
  SetScrollPos(Window(), SB_CTL, clamped, TRUE);
  if (OnChange) OnChange();
}

// A line and a page are one step, as the form library's bars have it.
void ScrollBar::Scroll(WORD request) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(Window(), SB_CTL, &info);
  switch (request) {
    case SB_LINELEFT:
    case SB_PAGELEFT:
      SetPosition(info.nPos - 1);
      break;
    case SB_LINERIGHT:
    case SB_PAGERIGHT:
      SetPosition(info.nPos + 1);
      break;
    case SB_LEFT:
      SetPosition(info.nMin);
      break;
    case SB_RIGHT:
      SetPosition(info.nMax);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      SetPosition(info.nTrackPos);
      break;
    default:
      break;
  }
}

// ---- status and drawing ---------------------------------------------------------------------

// The simple text is what the bar shows; the same as the bar's window text is
// what screen readers and other programs can read of it.
void StatusBar::SetSimpleText(const std::string& text) {
  text_ = text;
  SendMessageA(Window(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text_.c_str()));
  ChangeText(text_);
}

RECT DrawingArea::DrawBounds() const {
  RECT area;
  GetClientRect(Window(), &area);
  return area;
}

}  // namespace forms::win32
