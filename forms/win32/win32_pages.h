// A page control: a tab control whose sheets are areas inside it, the sheet
// of the chosen tab shown and the others hidden.
#pragma once

#include <string>
#include <vector>

#include "forms/win32/window_control.h"

namespace forms::win32 {

class TabSheet final : public Control<TTabSheet> {
 public:
  TabSheet(HWND window, const std::string& name, FormResources& resources, const std::string& caption)
      : Control(window, name, resources), caption_(caption) {}
  std::string Caption() const override { return caption_; }

 private:
  std::string caption_;
};

class PageControl final : public Control<TPageControl> {
 public:
  using Control::Control;
  int PageCount() const override { return static_cast<int>(sheets_.size()); }
  TTabSheet* Page(int index) const override;
  TTabSheet* ActivePage() const override;
  void SetActivePage(TTabSheet* page) override;
  void SetBounds(const Bounds& bounds) override;
  void Notify(const NMHDR& header) override;

  // The area a sheet fills, in the tab control's client coordinates.
  RECT SheetArea() const;
  void Add(TabSheet* sheet);

 private:
  void ShowChosenSheet();
  // Every sheet fills the area under the tabs, which the first tab makes.
  void PlaceSheets();

  std::vector<TabSheet*> sheets_;
};

}  // namespace forms::win32
