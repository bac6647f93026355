// The form library's controls on the standard window classes. Each wraps the
// window it was made with; the window belongs to its parent window, the
// wrapper to the form window.
#pragma once

#include <string>

#include "forms/win32/window_control.h"

namespace forms::win32 {

class Panel final : public Control<TPanel> {
 public:
  using Control::Control;
};

class Button final : public Control<TButton> {
 public:
  using Control::Control;
  std::string Caption() const override { return WindowText(); }
  void SetCaption(const std::string& caption) override { ChangeText(caption); }
  void Click() override;
  int IdealWidth() const override;
  // A push button draws its caption in the system's colour: a button with a
  // colour of its own draws itself.
  void SetFontColor(Color color) override;
  void Command(WORD code) override;
  void Draw(const DRAWITEMSTRUCT& item) override;
};

class CheckBox final : public Control<TCheckBox> {
 public:
  using Control::Control;
  std::string Caption() const override { return WindowText(); }
  bool Checked() const override;
  void SetChecked(bool checked) override;
  void Click() override;
  int IdealWidth() const override;
  void Command(WORD code) override;
};

class Label final : public Control<TLabel> {
 public:
  // An auto-sized label takes the size of its caption.
  Label(HWND window, const std::string& name, FormResources& resources, bool autoSize);
  std::string Caption() const override { return WindowText(); }
  void SetCaption(const std::string& caption) override;
  void SetFocusControl(TControl* control) override;

 private:
  void FontChanged() override;
  void FitCaption();

  bool autoSize_;
};

class Edit final : public Control<TEdit> {
 public:
  using Control::Control;
  std::string Text() const override { return WindowText(); }
  void SetText(const std::string& text) override { ChangeText(text); }
  bool ReadOnly() const override;
};

// The messages of one standard kind of item list.
struct ItemMessages {
  UINT count, textLength, text, add, reset, getSelection, setSelection;
};
inline constexpr ItemMessages kComboBoxItems{CB_GETCOUNT,     CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_ADDSTRING,
                                             CB_RESETCONTENT, CB_GETCURSEL,    CB_SETCURSEL};
inline constexpr ItemMessages kListBoxItems{LB_GETCOUNT,     LB_GETTEXTLEN, LB_GETTEXT, LB_ADDSTRING,
                                            LB_RESETCONTENT, LB_GETCURSEL,  LB_SETCURSEL};

// The text of item `index` of an item list.
std::string ItemText(HWND window, const ItemMessages& messages, int index);

template <typename Interface, const ItemMessages& kMessages>
class ItemList : public Control<Interface> {
 public:
  using Control<Interface>::Control;
  int Count() const override { return static_cast<int>(Send(kMessages.count)); }
  std::string Item(int index) const override { return ItemText(this->Window(), kMessages, index); }
  void AddItem(const std::string& text) override { Send(kMessages.add, 0, reinterpret_cast<LPARAM>(text.c_str())); }
  void Clear() override { Send(kMessages.reset); }
  int ItemIndex() const override { return static_cast<int>(Send(kMessages.getSelection)); }
  void SetItemIndex(int index) override { Send(kMessages.setSelection, static_cast<WPARAM>(index)); }

 private:
  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return SendMessageA(this->Window(), message, wParam, lParam);
  }
};

class ComboBox final : public ItemList<TComboBox, kComboBoxItems> {
 public:
  // The window's height holds the dropped-down list under the box.
  static constexpr int kDropDownHeight = 160;

  using ItemList::ItemList;
  void Choose(int index) override;
  void SetBounds(const Bounds& bounds) override;
  void Command(WORD code) override;
};

class ListBox final : public ItemList<TListBox, kListBoxItems> {
 public:
  using ItemList::ItemList;
};

class GroupBox final : public Control<TGroupBox> {
 public:
  using Control::Control;
  std::string Caption() const override { return WindowText(); }
};

class Bevel final : public Control<TBevel> {
 public:
  using Control::Control;
};

class ScrollBar final : public Control<TScrollBar> {
 public:
  using Control::Control;
  int Min() const override;
  int Max() const override;
  int Position() const override;
  void SetPosition(int position) override;
  void Scroll(WORD request) override;
};

class StatusBar final : public Control<TStatusBar> {
 public:
  using Control::Control;
  std::string SimpleText() const override { return text_; }
  void SetSimpleText(const std::string& text) override;

 private:
  std::string text_;
};

class DrawingArea final : public Control<TDrawingArea> {
 public:
  using Control::Control;
  HWND Handle() const override { return Window(); }
  RECT DrawBounds() const override;
};

}  // namespace forms::win32
