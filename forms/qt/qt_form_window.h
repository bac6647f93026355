// A form's window on Qt: a QMainWindow for the main window, a QDialog for a
// modal one, registered with the platform layer so that messages posted or
// sent to its handle reach the form.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

#include "forms/form_window.h"
#include "forms/qt/qt_components.h"
#include "platform/window_host.h"

class QActionGroup;
class QMenuBar;

namespace forms::qt {

class FormWindow final : public TFormWindow, public WidgetHolder, private platform::WindowClient {
 public:
  explicit FormWindow(const FormDescription& description);
  ~FormWindow() override;

  QWidget* Widget() const override { return host_; }

  // TControl
  const std::string& Name() const override { return name_; }
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  bool Visible() const override;
  void SetVisible(bool visible) override;
  Bounds BoundsRect() const override;
  void SetBounds(const Bounds& bounds) override;
  std::string Hint() const override { return {}; }
  void SetHint(const std::string&) override {}
  bool Bold() const override;
  void SetBold(bool bold) override;
  void SetFontColor(Color) override {}
  int IdealWidth() const override;
  void SetAccessibleName(const std::string& name) override;
  void SetAccessibleDescription(const std::string&) override {}

  // TFormWindow
  HWND Handle() const override { return handle_; }
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void Show() override;
  void Close() override;
  int ShowModal() override;
  void EndModal(int result) override;
  bool IsWindowThread() const override;
  void PostCall(std::function<void()> call) override;
  void PostDelayed(int milliseconds, std::function<void()> call) override;
  void WaitWhile(const std::function<bool()>& condition) override;

  TWinControl* Client() override { return client_; }
  TPanel* AddPanel(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TLabel* AddLabel(TWinControl* parent, const std::string& name, const std::string& caption, int left,
                   int top, const LabelStyle& style) override;
  TLabel* AddValueLabel(TWinControl* parent, const std::string& name, const std::string& value,
                        const Bounds& bounds, const LabelStyle& style) override;
  TButton* AddButton(TWinControl* parent, const std::string& name, const std::string& caption,
                     const Bounds& bounds) override;
  TCheckBox* AddCheckBox(TWinControl* parent, const std::string& name, const std::string& caption,
                         const Bounds& bounds) override;
  TEdit* AddEdit(TWinControl* parent, const std::string& name, const Bounds& bounds,
                 const EditStyle& style) override;
  TComboBox* AddComboBox(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TListBox* AddListBox(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TGroupBox* AddGroupBox(TWinControl* parent, const std::string& name, const std::string& caption,
                         const Bounds& bounds, DisabledTitle title) override;
  TBevel* AddBevel(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TScrollBar* AddScrollBar(TWinControl* parent, const std::string& name, int min, int max, int position,
                           const Bounds& bounds) override;
  TPageControl* AddPageControl(TWinControl* parent, const std::string& name, const Bounds& bounds) override;
  TTabSheet* AddTabSheet(TPageControl* pages, const std::string& name, const std::string& caption) override;
  TDrawingArea* AddDrawingArea(TTabSheet* sheet, const std::string& name, const Bounds& bounds) override;
  TStatusBar* AddStatusBar(TTabSheet* sheet, const std::string& name, int height,
                           const std::string& text) override;
  TMenuItem* AddMenu(const std::string& name, const std::string& caption) override;
  TMenuItem* AddMenuItem(TMenuItem* menu, const std::string& name, const std::string& caption,
                         const MenuItemStyle& style) override;
  void AddMenuSeparator(TMenuItem* menu) override;
  TTimer* AddTimer(const std::string& name, int intervalMs) override;
  void SetDefaultButton(TButton* button) override;
  void SetFont(TWinControl* container, const Font& font) override;

  // The host widget's events.
  bool HostEvent(QEvent* event);
  void HostPainted();

 private:
  // platform::WindowClient
  void MessagesPosted() override;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void SurfaceChanged() override {}

  template <typename Component>
  Component* Keep(std::unique_ptr<Component> component) {
    Component* kept = component.get();
    components_.push_back(std::move(component));
    return kept;
  }
  QMenuBar* MenuBar();
  // Fixes the window's size to the client area under the menu bar.
  void FixSize();

  std::string name_;
  FormKind kind_;
  int clientWidth_;
  int clientHeight_;
  QPointer<QWidget> host_;
  Panel* client_ = nullptr;
  HWND handle_ = nullptr;
  std::vector<std::shared_ptr<void>> components_;
  std::vector<std::pair<int, QActionGroup*>> radioGroups_;
};

}  // namespace forms::qt
