#include "forms/win32/win32_pages.h"

#include <commctrl.h>

#include <algorithm>

namespace forms::win32 {

TTabSheet* PageControl::Page(int index) const {
  return index >= 0 && index < PageCount() ? sheets_[static_cast<size_t>(index)] : nullptr;
}

TTabSheet* PageControl::ActivePage() const {
  return Page(static_cast<int>(SendMessageA(Window(), TCM_GETCURSEL, 0, 0)));
}

// Choosing a tab by program sends no notification: the sheets follow here.
void PageControl::SetActivePage(TTabSheet* page) {
  const auto found = std::find(sheets_.begin(), sheets_.end(), page);
  if (found == sheets_.end()) return;
  SendMessageA(Window(), TCM_SETCURSEL, static_cast<WPARAM>(found - sheets_.begin()), 0);
  ShowChosenSheet();
}

void PageControl::SetBounds(const Bounds& bounds) {
  ChangePlace(bounds);
  PlaceSheets();
}

void PageControl::PlaceSheets() {
  const RECT area = SheetArea();
  for (TabSheet* sheet : sheets_) {
    sheet->SetBounds({area.left, area.top, area.right - area.left, area.bottom - area.top});
  }
}

void PageControl::Notify(const NMHDR& header) {
  if (header.code == TCN_SELCHANGE) ShowChosenSheet();
}

RECT PageControl::SheetArea() const {
  RECT area;
  GetClientRect(Window(), &area);
  SendMessageA(Window(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
  return area;
}

// A sheet's tab shows its caption; screen readers name the sheet without the
// spaces that widen the tab.
void PageControl::Add(TabSheet* sheet) {
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  std::string caption = sheet->Caption();
  item.pszText = caption.data();
  SendMessageA(Window(), TCM_INSERTITEMA, static_cast<WPARAM>(sheets_.size()), reinterpret_cast<LPARAM>(&item));
  sheets_.push_back(sheet);
  PlaceSheets();
  sheet->SetAccessibleName(WithoutOuterSpaces(caption));
  ShowChosenSheet();
}

void PageControl::ShowChosenSheet() {
  const TTabSheet* chosen = ActivePage();
  for (TabSheet* sheet : sheets_) ShowWindow(sheet->Window(), sheet == chosen ? SW_SHOWNA : SW_HIDE);
}

}  // namespace forms::win32
