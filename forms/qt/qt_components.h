// The form library's components on Qt widgets. Each wraps the widget it made;
// the widget belongs to its parent widget, the wrapper to the form window.
#pragma once

#include <QAction>
#include <QMenu>
#include <QPalette>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

#include "forms/components.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QScrollBar;
class QStatusBar;
class QTabWidget;
class TSurfacePage;

namespace forms::qt {

// 8-bit texts of the system's character set, as Qt's strings.
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

// What every wrapped control has: its widget.
class WidgetHolder {
 public:
  virtual QWidget* Widget() const = 0;

 protected:
  ~WidgetHolder() = default;
};

// The widget behind a control of this toolkit.
QWidget* WidgetOf(const TControl* control);

template <typename Interface, typename QtWidget>
class Control : public Interface, public WidgetHolder {
 public:
  Control(QtWidget* widget, const std::string& name) : widget_(widget), name_(name) {
    widget->setObjectName(ToQt(name));
  }

  QWidget* Widget() const override { return widget_; }
  QtWidget* W() const { return widget_; }

  const std::string& Name() const override { return name_; }
  bool Enabled() const override { return !widget_->testAttribute(Qt::WA_ForceDisabled); }
  void SetEnabled(bool enabled) override { widget_->setEnabled(enabled); }
  bool Visible() const override { return !widget_->isHidden(); }
  void SetVisible(bool visible) override { widget_->setVisible(visible); }
  Bounds BoundsRect() const override {
    const QRect area = widget_->geometry();
    return {area.x(), area.y(), area.width(), area.height()};
  }
  void SetBounds(const Bounds& bounds) override {
    widget_->setGeometry(bounds.left, bounds.top, bounds.width, bounds.height);
  }
  std::string Hint() const override { return FromQt(widget_->toolTip()); }
  void SetHint(const std::string& hint) override { widget_->setToolTip(ToQt(hint)); }
  bool Bold() const override { return widget_->font().bold(); }
  void SetBold(bool bold) override {
    QFont font = widget_->font();
    font.setBold(bold);
    widget_->setFont(font);
  }
  // Kept while enabled; a disabled control greys like the others.
  void SetFontColor(Color color) override {
    const QColor shown(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                       static_cast<int>((color >> 16) & 0xFF));
    QPalette colors = widget_->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
      colors.setColor(group, QPalette::WindowText, shown);
      colors.setColor(group, QPalette::ButtonText, shown);
    }
    widget_->setPalette(colors);
  }
  int IdealWidth() const override { return widget_->sizeHint().width(); }
  void SetAccessibleName(const std::string& name) override { widget_->setAccessibleName(ToQt(name)); }
  void SetAccessibleDescription(const std::string& description) override {
    widget_->setAccessibleDescription(ToQt(description));
  }

 private:
  QPointer<QtWidget> widget_;
  std::string name_;
};

class Panel final : public Control<TPanel, QWidget> {
 public:
  using Control::Control;
};

class Button final : public Control<TButton, QPushButton> {
 public:
  Button(QPushButton* button, const std::string& name);
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void Click() override;
};

class CheckBox final : public Control<TCheckBox, QCheckBox> {
 public:
  CheckBox(QCheckBox* box, const std::string& name);
  std::string Caption() const override;
  bool Checked() const override;
  void SetChecked(bool checked) override;
  void Click() override;
};

class Label final : public Control<TLabel, QLabel> {
 public:
  using Control::Control;
  std::string Caption() const override;
  void SetCaption(const std::string& caption) override;
  void SetFocusControl(TControl* control) override;
};

class Edit final : public Control<TEdit, QLineEdit> {
 public:
  using Control::Control;
  std::string Text() const override;
  void SetText(const std::string& text) override;
  bool ReadOnly() const override;
};

class ComboBox final : public Control<TComboBox, QComboBox> {
 public:
  ComboBox(QComboBox* box, const std::string& name);
  int Count() const override;
  std::string Item(int index) const override;
  void AddItem(const std::string& text) override;
  void Clear() override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
  void Choose(int index) override;
};

class ListBox final : public Control<TListBox, QListWidget> {
 public:
  using Control::Control;
  int Count() const override;
  std::string Item(int index) const override;
  void AddItem(const std::string& text) override;
  void Clear() override;
  int ItemIndex() const override;
  void SetItemIndex(int index) override;
};

class GroupBox final : public Control<TGroupBox, QGroupBox> {
 public:
  using Control::Control;
  std::string Caption() const override;
};

class Bevel final : public Control<TBevel, QFrame> {
 public:
  using Control::Control;
};

class ScrollBar final : public Control<TScrollBar, QScrollBar> {
 public:
  ScrollBar(QScrollBar* bar, const std::string& name);
  int Min() const override;
  int Max() const override;
  int Position() const override;
  void SetPosition(int position) override;
};

class TabSheet final : public Control<TTabSheet, TSurfacePage> {
 public:
  TabSheet(TSurfacePage* page, const std::string& name, const std::string& caption);
  std::string Caption() const override { return caption_; }

 private:
  std::string caption_;
};

class PageControl final : public Control<TPageControl, QTabWidget> {
 public:
  using Control::Control;
  int PageCount() const override;
  TTabSheet* Page(int index) const override;
  TTabSheet* ActivePage() const override;
  void SetActivePage(TTabSheet* page) override;
  void Add(TabSheet* sheet);

 private:
  std::vector<TabSheet*> sheets_;
};

class StatusBar final : public Control<TStatusBar, QStatusBar> {
 public:
  StatusBar(QStatusBar* bar, const std::string& name);
  std::string SimpleText() const override;
  void SetSimpleText(const std::string& text) override;
};

class DrawingArea final : public Control<TDrawingArea, QWidget> {
 public:
  DrawingArea(QWidget* view, TSurfacePage* page, const std::string& name);
  HWND Handle() const override;
  RECT DrawBounds() const override;

 private:
  TSurfacePage* page_;
};

// An item of the main menu: a menu of the bar is the action that opens it.
class MenuItem final : public TMenuItem {
 public:
  MenuItem(QAction* action, const std::string& name);
  QAction* Action() const { return action_; }
  // The items of a menu of the bar; null for a command.
  QMenu* QtMenu() const { return action_->menu<QMenu*>(); }
  const std::string& Name() const override { return name_; }
  std::string Caption() const override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;
  bool Checked() const override;
  void SetChecked(bool checked) override;
  void Click() override;

 private:
  QPointer<QAction> action_;
  std::string name_;
};

class Timer final : public TTimer {
 public:
  Timer(QTimer* timer, int intervalMs);
  int Interval() const override;
  bool Enabled() const override;
  void SetEnabled(bool enabled) override;

 private:
  QPointer<QTimer> timer_;
};

}  // namespace forms::qt
