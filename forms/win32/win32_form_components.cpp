// The components of a form's window: child windows of the standard classes,
// the menu bar and the timers.
// <windows.h> first: the system's other headers build on it.
#include "platform/win32.h"

#include <commctrl.h>

#include "forms/win32/group_frame.h"
#include "forms/win32/win32_form_window.h"
#include "forms/win32/win32_pages.h"
#include "forms/win32/window_classes.h"

namespace forms::win32 {

namespace {

// Where a control holds others, the keyboard moves into it and its
// children's areas stay theirs.
constexpr DWORD kContainerStyle = WS_CLIPCHILDREN;
constexpr DWORD kContainerExtendedStyle = WS_EX_CONTROLPARENT;

DWORD LabelStyle(const forms::LabelStyle& style) {
  if (style.alignment == Alignment::Center) return SS_CENTER;
  return style.wordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP;
}

}  // namespace

HWND FormWindow::CreateChild(TControl* parent, const char* windowClass, DWORD style, const Bounds& bounds,
                             const std::string& text, DWORD extendedStyle) {
  HWND parentWindow = dynamic_cast<WindowControl*>(parent)->Window();
  const auto id = static_cast<INT_PTR>(nextControlId_++);
  HWND child = CreateWindowExA(extendedStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style,
                               bounds.left, bounds.top, bounds.width, bounds.height, parentWindow,
                               reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
  for (HWND frame : frames_) {
    if (GetParent(frame) == parentWindow) {
      SetWindowPos(frame, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
  }
  return child;
}

TPanel* FormWindow::AddPanel(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  HWND panel = CreateChild(parent, kContainerClass, kContainerStyle, bounds, {}, kContainerExtendedStyle);
  return Keep(std::make_unique<Panel>(panel, name, resources_));
}

TLabel* FormWindow::AddLabel(TWinControl* parent, const std::string& name, const std::string& caption, int left,
                             int top, const forms::LabelStyle& style) {
  HWND label = CreateChild(parent, "STATIC", LabelStyle(style), {left, top, 0, 0}, caption);
  auto* added = Keep(std::make_unique<Label>(label, name, resources_, true));
  if (style.bold) added->SetBold(true);
  return added;
}

TLabel* FormWindow::AddValueLabel(TWinControl* parent, const std::string& name, const std::string& value,
                                  const Bounds& bounds, const forms::LabelStyle& style) {
  HWND label = CreateChild(parent, "STATIC", LabelStyle(style), bounds, value);
  auto* added = Keep(std::make_unique<Label>(label, name, resources_, false));
  if (style.bold) added->SetBold(true);
  return added;
}

TButton* FormWindow::AddButton(TWinControl* parent, const std::string& name, const std::string& caption,
                               const Bounds& bounds) {
  HWND button = CreateChild(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP, bounds, caption);
  return Keep(std::make_unique<Button>(button, name, resources_));
}

TCheckBox* FormWindow::AddCheckBox(TWinControl* parent, const std::string& name, const std::string& caption,
                                   const Bounds& bounds) {
  HWND box = CreateChild(parent, "BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, bounds, caption);
  return Keep(std::make_unique<CheckBox>(box, name, resources_));
}

// The form's edits show values: no tab stop.
TEdit* FormWindow::AddEdit(TWinControl* parent, const std::string& name, const Bounds& bounds, const EditStyle& style) {
  HWND edit =
      CreateChild(parent, "EDIT", ES_AUTOHSCROLL | (style.readOnly ? ES_READONLY : 0), bounds, {}, WS_EX_CLIENTEDGE);
  return Keep(std::make_unique<Edit>(edit, name, resources_));
}

TComboBox* FormWindow::AddComboBox(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  Bounds withList = bounds;
  withList.height += ComboBox::kDropDownHeight;
  HWND box = CreateChild(parent, "COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, withList);
  return Keep(std::make_unique<ComboBox>(box, name, resources_));
}

TListBox* FormWindow::AddListBox(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  HWND list =
      CreateChild(parent, "LISTBOX", LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, bounds, {}, WS_EX_CLIENTEDGE);
  return Keep(std::make_unique<ListBox>(list, name, resources_));
}

// The group box holds its controls: it hands their notifications on. A
// disabled group keeps input from them but leaves them as they look.
TGroupBox* FormWindow::AddGroupBox(TWinControl* parent, const std::string& name, const std::string& caption,
                                   const Bounds& bounds, DisabledTitle title) {
  HWND group = CreateChild(parent, "BUTTON", BS_GROUPBOX | kContainerStyle, bounds, caption, kContainerExtendedStyle);
  ForwardChildNotifications(group);
  DrawAsGroup(group, title == DisabledTitle::Greyed);
  return Keep(std::make_unique<GroupBox>(group, name, resources_));
}

// A frame lies under what it frames, made before or after it (CreateChild).
TBevel* FormWindow::AddBevel(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  HWND frame = CreateChild(parent, "STATIC", SS_SUNKEN, bounds);
  frames_.push_back(frame);
  return Keep(std::make_unique<Bevel>(frame, name, resources_));
}

TScrollBar* FormWindow::AddScrollBar(TWinControl* parent, const std::string& name, int min, int max, int position,
                                     const Bounds& bounds) {
  HWND bar = CreateChild(parent, "SCROLLBAR", SBS_HORZ | WS_TABSTOP, bounds);
  SetScrollRange(bar, SB_CTL, min, max, FALSE);
  SetScrollPos(bar, SB_CTL, position, TRUE);
  return Keep(std::make_unique<ScrollBar>(bar, name, resources_));
}

// The tab control holds its sheets: it hands their notifications on.
TPageControl* FormWindow::AddPageControl(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  HWND tabs = CreateChild(parent, WC_TABCONTROLA, WS_TABSTOP | kContainerStyle, bounds, {}, kContainerExtendedStyle);
  ForwardChildNotifications(tabs);
  return Keep(std::make_unique<PageControl>(tabs, name, resources_));
}

// Hidden until its tab is chosen.
TTabSheet* FormWindow::AddTabSheet(TPageControl* pages, const std::string& name, const std::string& caption) {
  auto* control = static_cast<PageControl*>(pages);
  const RECT area = control->SheetArea();
  HWND sheet =
      CreateChild(pages, kContainerClass, kContainerStyle,
                  {area.left, area.top, area.right - area.left, area.bottom - area.top}, {}, kContainerExtendedStyle);
  ShowWindow(sheet, SW_HIDE);
  auto* added = Keep(std::make_unique<TabSheet>(sheet, name, resources_, caption));
  control->Add(added);
  return added;
}

TDrawingArea* FormWindow::AddDrawingArea(TTabSheet* sheet, const std::string& name, const Bounds& bounds) {
  HWND area = CreateChild(sheet, kDrawingAreaClass, 0, bounds);
  return Keep(std::make_unique<DrawingArea>(area, name, resources_));
}

TStatusBar* FormWindow::AddStatusBar(TTabSheet* sheet, const std::string& name, int height, const std::string& text) {
  RECT area;
  GetClientRect(static_cast<TabSheet*>(sheet)->Window(), &area);
  HWND bar = CreateChild(sheet, STATUSCLASSNAMEA, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                         {0, area.bottom - height, area.right, height});
  SendMessageA(bar, SB_SIMPLE, TRUE, 0);
  auto* added = Keep(std::make_unique<StatusBar>(bar, name, resources_));
  added->SetSimpleText(text);
  return added;
}

// ---- menus and timers ---------------------------------------------------------------------

TMenuItem* FormWindow::AddMenu(const std::string& name, const std::string& caption) {
  if (!menuBar_) {
    menuBar_ = CreateMenu();
    SetMenu(window_, menuBar_);
  }
  HMENU popup = CreatePopupMenu();
  AppendMenuA(menuBar_, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), caption.c_str());
  DrawMenuBar(window_);
  FixSize();
  const auto id = static_cast<UINT>(reinterpret_cast<UINT_PTR>(popup));
  return Keep(std::make_unique<MenuItem>(menuBar_, id, popup, window_, name, caption, nullptr));
}

TMenuItem* FormWindow::AddMenuItem(TMenuItem* menu, const std::string& name, const std::string& caption,
                                   const MenuItemStyle& style) {
  HMENU popup = static_cast<MenuItem*>(menu)->Popup();
  const UINT id = nextMenuId_++;
  AppendMenuA(popup, MF_STRING, id, caption.c_str());
  std::vector<MenuItem*>* group = style.radioGroup != 0 ? &radioGroups_[style.radioGroup] : nullptr;
  auto* item = Keep(std::make_unique<MenuItem>(popup, id, nullptr, window_, name, caption, group));
  item->SetEnabled(style.enabled);
  item->SetChecked(style.checked);
  menuItems_.emplace(id, item);
  return item;
}

void FormWindow::AddMenuSeparator(TMenuItem* menu) {
  AppendMenuA(static_cast<MenuItem*>(menu)->Popup(), MF_SEPARATOR, 0, nullptr);
}

TTimer* FormWindow::AddTimer(const std::string&, int intervalMs) {
  const UINT_PTR id = nextTimerId_++;
  auto* timer = Keep(std::make_unique<Timer>(window_, id, intervalMs));
  timers_.emplace(id, timer);
  return timer;
}

// Enter presses it: the form answers the dialog manager's question for it.
void FormWindow::SetDefaultButton(TButton* button) {
  defaultButton_ = static_cast<Button*>(button);
  SendMessageA(defaultButton_->Window(), BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
}

void FormWindow::SetFont(TWinControl* container, const Font& font) {
  dynamic_cast<WindowControl*>(container)->ChangeFont({font.face, font.height, false});
}

}  // namespace forms::win32
