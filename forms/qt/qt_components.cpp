#include "forms/qt/qt_components.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <algorithm>

#include "forms/qt/surface_page.h"

namespace forms::qt {

QString ToQt(const std::string& text) {
  return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQt(const QString& text) { return text.toLocal8Bit().toStdString(); }

QWidget* WidgetOf(const TControl* control) {
  const auto* holder = dynamic_cast<const WidgetHolder*>(control);
  return holder ? holder->Widget() : nullptr;
}

// ---- buttons and boxes ----------------------------------------------------------

Button::Button(QPushButton* button, const std::string& name) : Control(button, name) {
  QObject::connect(button, &QPushButton::clicked, button, [this] {
    if (OnClick) OnClick();
  });
}

std::string Button::Caption() const { return FromQt(W()->text()); }
void Button::SetCaption(const std::string& caption) { W()->setText(ToQt(caption)); }
void Button::Click() { W()->click(); }

// The action runs on every change of state, by the user or the program.
CheckBox::CheckBox(QCheckBox* box, const std::string& name) : Control(box, name) {
  QObject::connect(box, &QCheckBox::toggled, box, [this] {
    if (OnClick) OnClick();
  });
}

std::string CheckBox::Caption() const { return FromQt(W()->text()); }
bool CheckBox::Checked() const { return W()->isChecked(); }
void CheckBox::SetChecked(bool checked) { W()->setChecked(checked); }
void CheckBox::Click() { W()->click(); }

std::string Label::Caption() const { return FromQt(W()->text()); }
void Label::SetCaption(const std::string& caption) { W()->setText(ToQt(caption)); }

// Qt names a box, an edit or a value by its buddy's caption, but a list by
// none: the list is named here.
void Label::SetFocusControl(TControl* control) {
  QWidget* target = WidgetOf(control);
  W()->setBuddy(target);
  if (qobject_cast<QListWidget*>(target)) target->setAccessibleName(W()->text());
}

std::string Edit::Text() const { return FromQt(W()->text()); }
void Edit::SetText(const std::string& text) { W()->setText(ToQt(text)); }
bool Edit::ReadOnly() const { return W()->isReadOnly(); }

// ---- lists --------------------------------------------------------------------------

ComboBox::ComboBox(QComboBox* box, const std::string& name) : Control(box, name) {
  QObject::connect(box, &QComboBox::activated, box, [this] {
    if (OnChange) OnChange();
  });
}

int ComboBox::Count() const { return W()->count(); }
std::string ComboBox::Item(int index) const { return FromQt(W()->itemText(index)); }
void ComboBox::AddItem(const std::string& text) { W()->addItem(ToQt(text)); }
void ComboBox::Clear() { W()->clear(); }
int ComboBox::ItemIndex() const { return W()->currentIndex(); }
void ComboBox::SetItemIndex(int index) { W()->setCurrentIndex(index); }

void ComboBox::Choose(int index) {
  if (!W()->isEnabled() || index < 0 || index >= W()->count()) return;
  W()->setCurrentIndex(index);
  emit W()->activated(index);
}

int ListBox::Count() const { return W()->count(); }
std::string ListBox::Item(int index) const {
  const QListWidgetItem* item = W()->item(index);
  return item ? FromQt(item->text()) : std::string();
}
void ListBox::AddItem(const std::string& text) { W()->addItem(ToQt(text)); }
void ListBox::Clear() { W()->clear(); }
int ListBox::ItemIndex() const { return W()->currentRow(); }
void ListBox::SetItemIndex(int index) { W()->setCurrentRow(index); }

std::string GroupBox::Caption() const { return FromQt(W()->title()); }

// Also a move the window makes runs the action, as a move by the user does.
ScrollBar::ScrollBar(QScrollBar* bar, const std::string& name) : Control(bar, name) {
  QObject::connect(bar, &QScrollBar::valueChanged, bar, [this] {
    if (OnChange) OnChange();
  });
}

int ScrollBar::Min() const { return W()->minimum(); }
int ScrollBar::Max() const { return W()->maximum(); }
int ScrollBar::Position() const { return W()->value(); }
void ScrollBar::SetPosition(int position) { W()->setValue(position); }

// ---- pages ---------------------------------------------------------------------------

TabSheet::TabSheet(TSurfacePage* page, const std::string& name, const std::string& caption)
    : Control(page, name), caption_(caption) {}

int PageControl::PageCount() const { return static_cast<int>(sheets_.size()); }

TTabSheet* PageControl::Page(int index) const {
  return index >= 0 && index < PageCount() ? sheets_[static_cast<size_t>(index)] : nullptr;
}

TTabSheet* PageControl::ActivePage() const {
  const auto found = std::find_if(sheets_.begin(), sheets_.end(),
                                  [&](TabSheet* sheet) { return sheet->Widget() == W()->currentWidget(); });
  return found == sheets_.end() ? nullptr : *found;
}

void PageControl::SetActivePage(TTabSheet* page) { W()->setCurrentWidget(WidgetOf(page)); }

// A page is named by its caption without the spaces that widen its tab.
void PageControl::Add(TabSheet* sheet) {
  sheets_.push_back(sheet);
  sheet->Widget()->setAccessibleName(ToQt(sheet->Caption()).trimmed());
  W()->addTab(sheet->Widget(), ToQt(sheet->Caption()));
}

// Unnamed, the bar is named by its message: screen readers read each result
// and hear it change. A message longer than the bar (a saved file's path)
// shows whole as its tool tip; the bar keeps 6 pixels left and 12 right of it.
StatusBar::StatusBar(QStatusBar* bar, const std::string& name) : Control(bar, name) {
  bar->setSizeGripEnabled(false);
  bar->setAccessibleDescription(QStringLiteral("Status"));
  QObject::connect(bar, &QStatusBar::messageChanged, bar, [bar](const QString& message) {
    constexpr int kMessageMargins = 18;
    const bool cut = bar->fontMetrics().horizontalAdvance(message) > bar->width() - kMessageMargins;
    bar->setToolTip(cut ? message : QString());
  });
}

std::string StatusBar::SimpleText() const { return FromQt(W()->currentMessage()); }
void StatusBar::SetSimpleText(const std::string& text) { W()->showMessage(ToQt(text)); }

DrawingArea::DrawingArea(QWidget* view, TSurfacePage* page, const std::string& name)
    : Control(view, name), page_(page) {}

HWND DrawingArea::Handle() const { return page_->Handle(); }

RECT DrawingArea::DrawBounds() const {
  const QRect area = W()->geometry();
  return RECT{area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
}

// ---- menus and timers ------------------------------------------------------------------

// A menu command runs from the message loop once the menu has closed, as a
// command message does. An item pressed through the accessibility bus then
// answers at once, also when its command opens a modal dialog.
//
// Qt flips a checkable item before `triggered` arrives, while the form library
// lets only the program change a check mark. For a stand-alone item the flip
// is undone before the command runs; in an exclusive group Qt checks the
// chosen item, which is what every handler of such a group ends with.
MenuItem::MenuItem(QAction* action, const std::string& name) : action_(action), name_(name) {
  action->setObjectName(ToQt(name));
  QObject::connect(
      action, &QAction::triggered, action,
      [this](bool checked) {
        if (action_->isCheckable() && action_->actionGroup() == nullptr) action_->setChecked(!checked);
        if (OnClick) OnClick();
      },
      Qt::QueuedConnection);
}

std::string MenuItem::Caption() const { return FromQt(action_->text()); }
bool MenuItem::Enabled() const { return action_->isEnabled(); }
void MenuItem::SetEnabled(bool enabled) { action_->setEnabled(enabled); }
bool MenuItem::Checked() const { return action_->isChecked(); }
void MenuItem::SetChecked(bool checked) { action_->setChecked(checked); }
void MenuItem::Click() { action_->trigger(); }

Timer::Timer(QTimer* timer, int intervalMs) : timer_(timer) {
  timer->setInterval(intervalMs);
  QObject::connect(timer, &QTimer::timeout, timer, [this] {
    if (OnTimer) OnTimer();
  });
}

int Timer::Interval() const { return timer_->interval(); }
bool Timer::Enabled() const { return timer_->isActive(); }

void Timer::SetEnabled(bool enabled) {
  if (enabled) {
    timer_->start();
  } else {
    timer_->stop();
  }
}

}  // namespace forms::qt
