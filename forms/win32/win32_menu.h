// The main menu's items on a menu bar of the system. A command arrives as
// WM_COMMAND with the item's id once the menu has closed; the form hands it
// to the item.
#pragma once

#include <string>
#include <vector>

#include "forms/components.h"
#include "platform/win32.h"

namespace forms::win32 {

class MenuItem final : public TMenuItem {
 public:
  // An item with `id` in `menu`. A menu of the bar has the pop-up with its
  // items; `group` lists the items of a command's radio group.
  MenuItem(HMENU menu, UINT id, HMENU popup, HWND form, const std::string& name, const std::string& caption,
           std::vector<MenuItem*>* group);

  // The items of a menu of the bar; null for a command.
  HMENU Popup() const { return popup_; }

  const std::string& Name() const override { return name_; }
  std::string Caption() const override { return caption_; }
  bool Enabled() const override { return enabled_; }
  void SetEnabled(bool enabled) override;
  bool Checked() const override { return checked_; }
  void SetChecked(bool checked) override;
  void Click() override;

 private:
  void ShowCheck();

  HMENU menu_;
  UINT id_;
  HMENU popup_;
  HWND form_;
  std::string name_;
  std::string caption_;
  std::vector<MenuItem*>* group_;
  bool enabled_ = true;
  bool checked_ = false;
};

}  // namespace forms::win32
