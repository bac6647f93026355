// A form's window on Win32: a top-level window of its own class whose one
// window procedure routes the notifications of every control in it (through
// the containers in between), its timers, menu commands and posted calls, and
// hands the form's own messages to OnMessage.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "forms/form_window.h"
#include "forms/win32/posted_calls.h"
#include "forms/win32/win32_controls.h"
#include "forms/win32/win32_menu.h"
#include "forms/win32/win32_timer.h"

namespace forms::win32 {

class FormWindow final : public TFormWindow {
 public:
  explicit FormWindow(const FormDescription& description);
  ~FormWindow() override;

  // TControl
  const std::string& Name() const override { return name_; }
  bool Enabled() const override { return client_->Enabled(); }
  void SetEnabled(bool enabled) override { client_->SetEnabled(enabled); }
  bool Visible() const override { return client_->Visible(); }
  void SetVisible(bool visible) override;
  Bounds BoundsRect() const override;
  void SetBounds(const Bounds& bounds) override;
  std::string Hint() const override { return {}; }
  void SetHint(const std::string&) override {}
  bool Bold() const override { return client_->Bold(); }
  void SetBold(bool bold) override { client_->SetBold(bold); }
  void SetFontColor(Color) override {}
  int IdealWidth() const override { return BoundsRect().width; }
  void SetAccessibleName(const std::string& name) override { client_->SetAccessibleName(name); }
  void SetAccessibleDescription(const std::string&) override {}

  // TFormWindow
  HWND Handle() const override { return window_; }
  std::string Caption() const override { return client_->WindowText(); }
  void SetCaption(const std::string& caption) override { client_->ChangeText(caption); }
  void Show() override;
  void Close() override;
  int ShowModal() override;
  void EndModal(int result) override { modalResult_ = result; }
  bool IsWindowThread() const override { return GetCurrentThreadId() == thread_; }
  void PostCall(std::function<void()> call) override { calls_->Post(std::move(call)); }
  void PostDelayed(int milliseconds, std::function<void()> call) override;
  void WaitWhile(const std::function<bool()>& condition) override;

  TWinControl* Client() override { return client_; }
  TPanel* AddPanel(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TLabel* AddLabel(TWinControl* parent, const std::string& name, const std::string& caption, int left, int top,
                   const LabelStyle& style) override;
  TLabel* AddValueLabel(TWinControl* parent, const std::string& name, const std::string& value, const Bounds& bounds,
                        const LabelStyle& style) override;
  TButton* AddButton(TWinControl* parent, const std::string& name, const std::string& caption,
                     const Bounds& bounds) override;
  TCheckBox* AddCheckBox(TWinControl* parent, const std::string& name, const std::string& caption,
                         const Bounds& bounds) override;
  TEdit* AddEdit(TWinControl* parent, const std::string& name, const Bounds& bounds, const EditStyle& style) override;
  TComboBox* AddComboBox(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TListBox* AddListBox(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TGroupBox* AddGroupBox(TWinControl* parent, const std::string& name, const std::string& caption, const Bounds& bounds,
                         DisabledTitle title) override;
  TBevel* AddBevel(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TScrollBar* AddScrollBar(TWinControl* parent, const std::string& name, int min, int max, int position,
                           const Bounds& bounds) override;
  TPageControl* AddPageControl(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TTabSheet* AddTabSheet(TPageControl* pages, const std::string& name, const std::string& caption) override;
  TDrawingArea* AddDrawingArea(TTabSheet* sheet, const std::string& name, const Bounds& bounds) override;
  TStatusBar* AddStatusBar(TTabSheet* sheet, const std::string& name, int height, const std::string& text) override;
  TMenuItem* AddMenu(const std::string& name, const std::string& caption) override;
  TMenuItem* AddMenuItem(TMenuItem* menu, const std::string& name, const std::string& caption,
                         const MenuItemStyle& style) override;
  void AddMenuSeparator(TMenuItem* menu) override;
  TTimer* AddTimer(const std::string& name, int intervalMs) override;
  void SetDefaultButton(TButton* button) override;
  void SetFont(TWinControl* container, const Font& font) override;

 private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT FormMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Command(WPARAM wParam, LPARAM lParam);
  LRESULT ControlColors(UINT message, HDC dc, HWND control);
  void TimerElapsed(UINT_PTR id);
  // Asked from outside to end (the session ends): the form closes as on WM_CLOSE.
  void CloseForEndOfSession();

  // A child window of a standard class, with the next control id.
  HWND CreateChild(TControl* parent, const char* windowClass, DWORD style, const Bounds& bounds,
                   const std::string& text = {}, DWORD extendedStyle = 0);
  // Sizes the window so that its client area, under the menu, has the form's size.
  void FixSize();

  template <typename Component>
  Component* Keep(std::unique_ptr<Component> component) {
    Component* kept = component.get();
    components_.push_back(std::move(component));
    return kept;
  }

  std::string name_;
  FormKind kind_;
  int clientWidth_;
  int clientHeight_;
  DWORD thread_;
  FormResources resources_;
  HWND window_ = nullptr;
  std::unique_ptr<PostedCalls> calls_;
  Panel* client_ = nullptr;
  std::vector<std::shared_ptr<void>> components_;
  int nextControlId_ = 1000;
  // The system puts each new child window below its older siblings; frames
  // go back under it, or they would hide what they frame.
  std::vector<HWND> frames_;

  HMENU menuBar_ = nullptr;
  UINT nextMenuId_ = 100;
  std::map<UINT, MenuItem*> menuItems_;
  std::map<int, std::vector<MenuItem*>> radioGroups_;

  std::map<UINT_PTR, Timer*> timers_;
  std::map<UINT_PTR, std::function<void()>> delayedCalls_;
  UINT_PTR nextTimerId_ = 1;

  Button* defaultButton_ = nullptr;
  int modalResult_ = 0;
  bool modal_ = false;
};

}  // namespace forms::win32
