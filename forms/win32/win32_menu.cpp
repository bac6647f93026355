#include "forms/win32/win32_menu.h"

namespace forms::win32 {

MenuItem::MenuItem(HMENU menu, UINT id, HMENU popup, HWND form, const std::string& name, const std::string& caption,
                   std::vector<MenuItem*>* group)
    : menu_(menu), id_(id), popup_(popup), form_(form), name_(name), caption_(caption), group_(group) {
  if (group_) {
    group_->push_back(this);
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    info.fType = MFT_STRING | MFT_RADIOCHECK;
    SetMenuItemInfoA(menu_, id_, FALSE, &info);
  }
}

void MenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  EnableMenuItem(menu_, id_, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

// The system never checks an item by itself; checking one of a radio group
// clears the others.
void MenuItem::SetChecked(bool checked) {
  checked_ = checked;
  ShowCheck();
  if (!checked || !group_) return;
  for (MenuItem* other : *group_) {
    if (other == this || !other->checked_) continue;
    other->checked_ = false;
    other->ShowCheck();
  }
}

void MenuItem::ShowCheck() { CheckMenuItem(menu_, id_, MF_BYCOMMAND | (checked_ ? MF_CHECKED : MF_UNCHECKED)); }

// As a choice in the open menu does: the command message waits in the queue
// until the caller returns to the message loop.
void MenuItem::Click() {
  if (enabled_ && !popup_) PostMessageA(form_, WM_COMMAND, MAKEWPARAM(id_, 0), 0);
}

}  // namespace forms::win32
