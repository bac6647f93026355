// The components a form is made of, as the form library knows them: each has a
// design name, a place in its parent in pixels, and the properties and events
// the forms use. A toolkit implements them; the forms see only this.
//
// Threads: every component is touched on its window's thread only.
// Texts are in the system's 8-bit character set.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/win32.h"

namespace forms {

// A place in the parent's client area, in pixels.
struct Bounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

// An RGB colour as the system writes it: 0x00BBGGRR.
using Color = uint32_t;
inline constexpr Color kNavy = 0x00800000;
inline constexpr Color kRed = 0x000000FF;

class TControl {
 public:
  virtual ~TControl() = default;

  virtual const std::string& Name() const = 0;
  // Enabled itself; a control inside a disabled container takes no input
  // either, but keeps its own state.
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Shown itself (a control on a page that is not in front stays visible).
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual Bounds BoundsRect() const = 0;
  virtual void SetBounds(const Bounds& bounds) = 0;
  // The tool tip.
  virtual std::string Hint() const = 0;
  virtual void SetHint(const std::string& hint) = 0;
  // Bold text, for the control and every child that follows its font.
  virtual bool Bold() const = 0;
  virtual void SetBold(bool bold) = 0;
  virtual void SetFontColor(Color color) = 0;
  // The width that shows the control's caption whole, in its font.
  virtual int IdealWidth() const = 0;
  // What a screen reader calls the control, where its caption does not say it.
  virtual void SetAccessibleName(const std::string& name) = 0;
  // What a screen reader tells of the control beyond its name; empty: its hint.
  virtual void SetAccessibleDescription(const std::string& description) = 0;

  int Left() const { return BoundsRect().left; }
  int Top() const { return BoundsRect().top; }
  int Width() const { return BoundsRect().width; }
  int Height() const { return BoundsRect().height; }
};

// A control that holds others: the form's client area, a panel, a group box,
// a tab sheet.
class TWinControl : public TControl {};

class TButton : public TControl {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Pressed by the user, or through Click.
  std::function<void()> OnClick;
  // A press as the user makes it: nothing happens while disabled.
  virtual void Click() = 0;
};

class TCheckBox : public TControl {
 public:
  virtual std::string Caption() const = 0;
  virtual bool Checked() const = 0;
  // Runs OnClick when the state changes, as a click by the user does.
  virtual void SetChecked(bool checked) = 0;
  std::function<void()> OnClick;
  // A click as the user makes it: nothing happens while disabled.
  virtual void Click() = 0;
};

class TLabel : public TControl {
 public:
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The control this caption names, for screen readers and keyboard focus.
  virtual void SetFocusControl(TControl* control) = 0;
};

class TEdit : public TControl {
 public:
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& text) = 0;
  virtual bool ReadOnly() const = 0;
  void Clear() { SetText(std::string()); }
};

// A control that shows a list of texts, one of them selected.
class TItemsControl : public TControl {
 public:
  virtual int Count() const = 0;
  virtual std::string Item(int index) const = 0;
  virtual void AddItem(const std::string& text) = 0;
  virtual void Clear() = 0;
  // -1 when nothing is selected. Setting it runs no event.
  virtual int ItemIndex() const = 0;
  virtual void SetItemIndex(int index) = 0;

  int IndexOf(const std::string& text) const {
    for (int i = 0; i < Count(); ++i) {
      if (Item(i) == text) return i;
    }
    return -1;
  }
};

class TComboBox : public TItemsControl {
 public:
  // The user chose an item.
  std::function<void()> OnChange;
  // A choice as the user makes it: selects the item and runs OnChange.
  virtual void Choose(int index) = 0;
};

class TListBox : public TItemsControl {};

class TGroupBox : public TWinControl {
 public:
  virtual std::string Caption() const = 0;
};

class TPanel : public TWinControl {};

// A sunken frame.
class TBevel : public TControl {};

class TScrollBar : public TControl {
 public:
  virtual int Min() const = 0;
  virtual int Max() const = 0;
  virtual int Position() const = 0;
  // Clamped to the range. Runs OnChange when the position changes, as a move
  // by the user does; a set inside OnChange is allowed.
  virtual void SetPosition(int position) = 0;
  std::function<void()> OnChange;
};

class TTabSheet : public TWinControl {
 public:
  virtual std::string Caption() const = 0;
};

class TPageControl : public TControl {
 public:
  virtual int PageCount() const = 0;
  virtual TTabSheet* Page(int index) const = 0;
  virtual TTabSheet* ActivePage() const = 0;
  virtual void SetActivePage(TTabSheet* page) = 0;
};

// A status bar along the bottom of its sheet, showing one text.
class TStatusBar : public TControl {
 public:
  virtual std::string SimpleText() const = 0;
  virtual void SetSimpleText(const std::string& text) = 0;
};

// Where images are drawn: a driver draws into a device context of Handle
// inside DrawBounds, from any thread, and that shows at once.
class TDrawingArea : public TControl {
 public:
  virtual HWND Handle() const = 0;
  // The area in the client coordinates of Handle.
  virtual RECT DrawBounds() const = 0;
};

// An item of the main menu: a menu of its own, a command, or a separator.
class TMenuItem {
 public:
  virtual ~TMenuItem() = default;
  virtual const std::string& Name() const = 0;
  virtual std::string Caption() const = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Only the program changes a check mark; in a radio group checking one
  // item clears the others.
  virtual bool Checked() const = 0;
  virtual void SetChecked(bool checked) = 0;
  // Runs from the message loop once the menu has closed.
  std::function<void()> OnClick;
  // A choice as the user makes it: nothing happens while disabled, and the
  // command runs once the caller returns to the message loop.
  virtual void Click() = 0;
};

class TTimer {
 public:
  virtual ~TTimer() = default;
  virtual int Interval() const = 0;
  virtual bool Enabled() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  std::function<void()> OnTimer;
};

}  // namespace forms
