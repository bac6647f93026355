// A form's window: a top-level window of fixed client size that makes the
// form's components, dispatches the window messages sent or posted to it, and
// takes calls from other threads.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "forms/components.h"
#include "platform/win32.h"

namespace forms {

// The form's font: a face and its character height in pixels, negative as the
// form library writes it.
struct Font {
  std::string face;
  int height = 0;
};

enum class FormKind {
  Main,    // the program's main window: it watches power events, and closing it ends the loop
  Dialog,  // shown modally, centred on the screen
};

struct FormDescription {
  std::string name;
  std::string caption;
  FormKind kind = FormKind::Main;
  std::string menuName;  // the main window's menu bar
  int clientWidth = 0;
  int clientHeight = 0;
  int left = 0;  // the main window's place on the screen
  int top = 0;
  Font font;
};

// A group box whose title stays readable while it is disabled, or greys.
enum class DisabledTitle { Readable, Greyed };

enum class Alignment { Left, Center };

struct LabelStyle {
  bool bold = false;
  Alignment alignment = Alignment::Left;
  bool wordWrap = false;
};

// An edit that only shows a value: no tab stop, the button face behind it.
struct EditStyle {
  bool readOnly = false;
};

struct MenuItemStyle {
  bool enabled = true;
  bool checked = false;
  bool checkable = false;
  int radioGroup = 0;  // items of the same nonzero group exclude each other
};

class TFormWindow : public TWinControl {
 public:
  // The window's handle: the target of posted messages and of the system's
  // notices.
  virtual HWND Handle() const = 0;
  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  virtual void Show() = 0;
  // Closes the window; the main window's close ends the message loop.
  virtual void Close() = 0;
  // Runs the window modally until EndModal; its result.
  virtual int ShowModal() = 0;
  virtual void EndModal(int result) = 0;

  // Every window message that reaches the window, on its thread; the result
  // answers a sent message.
  std::function<LRESULT(UINT message, WPARAM wParam, LPARAM lParam)> OnMessage;
  // The window is painted: what the form draws itself is drawn again.
  std::function<void()> OnPaint;

  // ---- threads ------------------------------------------------------------
  virtual bool IsWindowThread() const = 0;
  // Any thread: `call` runs on the window thread, from the message loop, after
  // every call posted before it.
  virtual void PostCall(std::function<void()> call) = 0;
  // Window thread: `call` runs from the message loop after `milliseconds`.
  virtual void PostDelayed(int milliseconds, std::function<void()> call) = 0;
  // Window thread: dispatches paints, timers, posted calls and messages while
  // `condition` holds, and drops the user's input meanwhile and at its end.
  // Whoever makes the condition false posts a call, which wakes the wait.
  virtual void WaitWhile(const std::function<bool()>& condition) = 0;

  // ---- components, owned by the window ------------------------------------
  // The client area, under the main menu.
  virtual TWinControl* Client() = 0;
  virtual TPanel* AddPanel(TWinControl* parent, const std::string& name, const Bounds& bounds) = 0;
  // A caption at (left, top) that takes the size of its text.
  virtual TLabel* AddLabel(TWinControl* parent, const std::string& name, const std::string& caption,
                           int left, int top, const LabelStyle& style = {}) = 0;
  // A label that shows a value in fixed bounds.
  virtual TLabel* AddValueLabel(TWinControl* parent, const std::string& name, const std::string& value,
                                const Bounds& bounds, const LabelStyle& style = {}) = 0;
  virtual TButton* AddButton(TWinControl* parent, const std::string& name, const std::string& caption,
                             const Bounds& bounds) = 0;
  virtual TCheckBox* AddCheckBox(TWinControl* parent, const std::string& name, const std::string& caption,
                                 const Bounds& bounds) = 0;
  virtual TEdit* AddEdit(TWinControl* parent, const std::string& name, const Bounds& bounds,
                         const EditStyle& style = {}) = 0;
  virtual TComboBox* AddComboBox(TWinControl* parent, const std::string& name, const Bounds& bounds) = 0;
  virtual TListBox* AddListBox(TWinControl* parent, const std::string& name, const Bounds& bounds) = 0;
  virtual TGroupBox* AddGroupBox(TWinControl* parent, const std::string& name, const std::string& caption,
                                 const Bounds& bounds, DisabledTitle title = DisabledTitle::Readable) = 0;
  virtual TBevel* AddBevel(TWinControl* parent, const std::string& name, const Bounds& bounds) = 0;
  virtual TScrollBar* AddScrollBar(TWinControl* parent, const std::string& name, int min, int max,
                                   int position, const Bounds& bounds) = 0;
  virtual TPageControl* AddPageControl(TWinControl* parent, const std::string& name, const Bounds& bounds) = 0;
  // A sheet that drawing areas can be placed on.
  virtual TTabSheet* AddTabSheet(TPageControl* pages, const std::string& name, const std::string& caption) = 0;
  virtual TDrawingArea* AddDrawingArea(TTabSheet* sheet, const std::string& name, const Bounds& bounds) = 0;
  // Along the bottom of the sheet, the sheet's full width.
  virtual TStatusBar* AddStatusBar(TTabSheet* sheet, const std::string& name, int height,
                                   const std::string& text) = 0;
  // A menu of the main menu bar, or (with `menu`) an item of that menu.
  virtual TMenuItem* AddMenu(const std::string& name, const std::string& caption) = 0;
  virtual TMenuItem* AddMenuItem(TMenuItem* menu, const std::string& name, const std::string& caption,
                                 const MenuItemStyle& style = {}) = 0;
  virtual void AddMenuSeparator(TMenuItem* menu) = 0;
  virtual TTimer* AddTimer(const std::string& name, int intervalMs) = 0;
  // The button that Enter presses.
  virtual void SetDefaultButton(TButton* button) = 0;
  // The font of one container and what it holds.
  virtual void SetFont(TWinControl* container, const Font& font) = 0;
};

// A window of the toolkit the program is built with.
std::unique_ptr<TFormWindow> CreateFormWindow(const FormDescription& description);

}  // namespace forms
