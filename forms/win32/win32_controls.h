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

class ComboBox final : public Control<TComboBox> {
 public:
  // The window's height holds the dropped-down list under the box.
  static constexpr int kDropDownHeight = 160;

  using Control::Control;
  int Count() const override;
  std::string Item(int index) const override;
  void AddItem(const std::string& text) override;
  void Clear() override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  void Choose(int index) override;
  void SetBounds(const Bounds& bounds) override;
  void Command(WORD code) override;
};

class ListBox final : public Control<TListBox> {
 public:
  using Control::Control;
  int Count() const override;
  std::string Item(int index) const override;
  void AddItem(const std::string& text) override;
  void Clear() override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
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
