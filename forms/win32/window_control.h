// What every control of this toolkit shares, whatever its interface: its
// window, its font (its own or its parent's), its text colour and tool tip,
// and its part in the notifications the form routes to it.
#pragma once

#include <optional>
#include <string>

#include "forms/components.h"
#include "forms/win32/accessible_text.h"
#include "forms/win32/font_cache.h"
#include "platform/win32.h"

namespace forms::win32 {

// What the controls of one form share.
struct FormResources {
  FontCache fonts;
  HWND toolTips = nullptr;
};

class WindowControl {
 public:
  WindowControl(HWND window, std::string name, FormResources& resources);
  virtual ~WindowControl() = default;
  WindowControl(const WindowControl&) = delete;
  WindowControl& operator=(const WindowControl&) = delete;

  // The control a window of this toolkit belongs to; null for any other window.
  static WindowControl* Of(HWND window);

  HWND Window() const { return window_; }
  const std::string& DesignName() const { return name_; }

  // A notification the control sent to its parent: a WM_COMMAND code, a
  // WM_HSCROLL request or a WM_NOTIFY record.
  virtual void Command(WORD) {}
  virtual void Scroll(WORD) {}
  virtual void Notify(const NMHDR&) {}
  // An owner-drawn control draws itself.
  virtual void Draw(const DRAWITEMSTRUCT&) {}
  // The text colour the control asked for, while it is enabled.
  std::optional<Color> ShownTextColor() const;

  // Takes `font` (the parent's) unless it has a font of its own.
  void InheritFont(const ControlFont& font);
  const ControlFont& CurrentFont() const { return font_; }
  // A font of its own, for the control and the children that follow it.
  void ChangeFont(const ControlFont& font);
  void ChangeBold(bool bold);
  void ChangeTextColor(Color color);

  std::string WindowText() const;
  void ChangeText(const std::string& text);
  // The width of `text` in the control's font.
  int TextWidth(const std::string& text) const;
  SIZE TextSize(const std::string& text) const;

  Bounds PlaceInParent() const;
  void ChangePlace(const Bounds& bounds);
  bool ShownItself() const;

  const std::string& ToolTip() const { return hint_; }
  void ChangeToolTip(const std::string& hint);

 protected:
  // The font changed: an auto-sized control takes its new size.
  virtual void FontChanged() {}

 private:
  void ApplyFont();

  HWND window_;
  std::string name_;
  FormResources& resources_;
  ControlFont font_;
  bool ownFont_ = false;
  std::optional<Color> textColor_;
  std::string hint_;
};

// Captions widened with spaces, as screen readers should say them.
std::string WithoutOuterSpaces(const std::string& text);

// True when `window` and every parent up to its top-level window are enabled:
// a click as the user makes it reaches it.
bool TakesInput(HWND window);

// A control of an interface on its window.
template <typename Interface>
class Control : public Interface, public WindowControl {
 public:
  using WindowControl::WindowControl;

  const std::string& Name() const override { return DesignName(); }
  bool Enabled() const override { return IsWindowEnabled(Window()) != FALSE; }
  void SetEnabled(bool enabled) override { EnableWindow(Window(), enabled); }
  bool Visible() const override { return ShownItself(); }
  void SetVisible(bool visible) override { ShowWindow(Window(), visible ? SW_SHOWNA : SW_HIDE); }
  Bounds BoundsRect() const override { return PlaceInParent(); }
  void SetBounds(const Bounds& bounds) override { ChangePlace(bounds); }
  std::string Hint() const override { return ToolTip(); }
  void SetHint(const std::string& hint) override { ChangeToolTip(hint); }
  bool Bold() const override { return CurrentFont().bold; }
  void SetBold(bool bold) override { ChangeBold(bold); }
  void SetFontColor(Color color) override { ChangeTextColor(color); }
  int IdealWidth() const override { return TextWidth(WindowText()); }
  void SetAccessibleName(const std::string& name) override { win32::SetAccessibleName(Window(), name); }
  void SetAccessibleDescription(const std::string& description) override {
    win32::SetAccessibleDescription(Window(), description);
  }
};

}  // namespace forms::win32
