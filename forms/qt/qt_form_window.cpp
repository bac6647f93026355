#include "forms/qt/qt_form_window.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QThread>
#include <type_traits>

#include "forms/qt/dropped_user_input.h"
#include "forms/qt/form_font.h"
#include "forms/qt/queued_call.h"
#include "forms/qt/readable_text.h"
#include "forms/qt/surface_page.h"
#include "platform/power_events.h"

namespace forms::qt {

namespace {

QEvent::Type PostedMessagesEvent() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

// The widget behind a form's window: a QMainWindow or a QDialog that hands its
// posted messages and paints to the form. A dialog shows centred on the screen.
template <typename Widget>
class Host final : public Widget {
 public:
  explicit Host(FormWindow& form) : form_(form) {}

 protected:
  bool event(QEvent* event) override { return form_.HostEvent(event) || Widget::event(event); }
  void paintEvent(QPaintEvent* event) override {
    Widget::paintEvent(event);
    form_.HostPainted();
  }
  void showEvent(QShowEvent* event) override {
    Widget::showEvent(event);
    if constexpr (std::is_same_v<Widget, QDialog>) {
      const QScreen* screen = this->screen();
      if (!screen) return;
      QRect frame = this->frameGeometry();
      frame.moveCenter(screen->availableGeometry().center());
      this->move(frame.topLeft());
    }
  }

 private:
  FormWindow& form_;
};

// The form library's AutoSize caption: its bounds follow its text, also when
// a group turned bold makes it wider.
class AutoSizeLabel final : public QLabel {
 public:
  AutoSizeLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

 protected:
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange) resize(sizeHint());
  }
};

QWidget* ParentWidget(TControl* parent) { return WidgetOf(parent); }

QRect ToQRect(const Bounds& bounds) { return QRect(bounds.left, bounds.top, bounds.width, bounds.height); }

// Captions keep to the top of their bounds, as the form library lays them out.
void ApplyStyle(QLabel* label, const LabelStyle& style) {
  if (style.bold) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
  }
  label->setAlignment((style.alignment == Alignment::Center ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
  label->setWordWrap(style.wordWrap);
}

}  // namespace

FormWindow::FormWindow(const FormDescription& description)
    : name_(description.name), kind_(description.kind), clientWidth_(description.clientWidth), clientHeight_(description.clientHeight) {
  QWidget* client = nullptr;
  if (kind_ == FormKind::Main) {
    auto* host = new Host<QMainWindow>(*this);
    host_ = host;
    client = new QWidget(host);
    client->setFixedSize(clientWidth_, clientHeight_);
    host->setCentralWidget(client);
    host->menuBar()->setObjectName(ToQt(description.menuName));
    host->menuBar()->setAccessibleName(QStringLiteral("Main menu"));
    // A tool window of fixed size: the menu bar above the client area.
    host->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    host->move(description.left, description.top);
  } else {
    host_ = new Host<QDialog>(*this);
    client = host_;
  }
  host_->setObjectName(ToQt(description.name));
  host_->setWindowTitle(ToQt(description.caption));
  host_->setFont(QtFont(description.font));
  client_ = Keep(std::make_unique<Panel>(client, kind_ == FormKind::Main ? "ClientArea" : description.name));
  FixSize();
  handle_ = platform::RegisterWindow(this, clientWidth_, clientHeight_);
  if (kind_ == FormKind::Main) platform::WatchPowerEvents(handle_);
}

// No message reaches the window once it is gone; a thread still posting to it
// fails its posts from here on.
FormWindow::~FormWindow() {
  platform::UnregisterWindow(handle_);
  delete host_;
  components_.clear();
}

void FormWindow::FixSize() {
  int menuHeight = 0;
  if (kind_ == FormKind::Main && !MenuBar()->actions().isEmpty()) menuHeight = MenuBar()->sizeHint().height();
  host_->setFixedSize(clientWidth_, clientHeight_ + menuHeight);
}

QMenuBar* FormWindow::MenuBar() { return static_cast<QMainWindow*>(host_.data())->menuBar(); }

bool FormWindow::Enabled() const { return !host_->testAttribute(Qt::WA_ForceDisabled); }
void FormWindow::SetEnabled(bool enabled) { host_->setEnabled(enabled); }
bool FormWindow::Visible() const { return host_->isVisible(); }
void FormWindow::SetVisible(bool visible) { host_->setVisible(visible); }

Bounds FormWindow::BoundsRect() const {
  const QRect area = host_->geometry();
  return {area.x(), area.y(), area.width(), area.height()};
}

void FormWindow::SetBounds(const Bounds& bounds) { host_->move(bounds.left, bounds.top); }
bool FormWindow::Bold() const { return host_->font().bold(); }

void FormWindow::SetBold(bool bold) {
  QFont font = host_->font();
  font.setBold(bold);
  host_->setFont(font);
}

int FormWindow::IdealWidth() const { return host_->sizeHint().width(); }
void FormWindow::SetAccessibleName(const std::string& name) { host_->setAccessibleName(ToQt(name)); }
std::string FormWindow::Caption() const { return FromQt(host_->windowTitle()); }
void FormWindow::SetCaption(const std::string& caption) { host_->setWindowTitle(ToQt(caption)); }
void FormWindow::Show() { host_->show(); }
void FormWindow::Close() { host_->close(); }
int FormWindow::ShowModal() { return static_cast<QDialog*>(host_.data())->exec(); }
void FormWindow::EndModal(int result) { static_cast<QDialog*>(host_.data())->done(result); }

bool FormWindow::IsWindowThread() const { return QThread::currentThread() == host_->thread(); }

void FormWindow::PostCall(std::function<void()> call) { QueueCall(host_.data(), std::move(call)); }

void FormWindow::PostDelayed(int milliseconds, std::function<void()> call) {
  QTimer::singleShot(milliseconds, host_.data(), std::move(call));
}

void FormWindow::WaitWhile(const std::function<bool()>& condition) {
  DroppedUserInput dropped;
  while (condition()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  QCoreApplication::processEvents();
}

bool FormWindow::HostEvent(QEvent* event) {
  if (event->type() != PostedMessagesEvent()) return false;
  platform::DispatchPostedMessages(handle_);
  return true;
}

void FormWindow::HostPainted() {
  if (OnPaint) OnPaint();
}

void FormWindow::MessagesPosted() {
  QCoreApplication::postEvent(host_.data(), new QEvent(PostedMessagesEvent()));
}

LRESULT FormWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  return OnMessage ? OnMessage(message, wParam, lParam) : 0;
}

// ---- components ------------------------------------------------------------------

TPanel* FormWindow::AddPanel(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  auto* panel = new QWidget(ParentWidget(parent));
  panel->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<Panel>(panel, name));
}

TLabel* FormWindow::AddLabel(TWinControl* parent, const std::string& name, const std::string& caption,
                             int left, int top, const LabelStyle& style) {
  auto* label = new AutoSizeLabel(ToQt(caption), ParentWidget(parent));
  ApplyStyle(label, style);
  label->setGeometry(QRect(QPoint(left, top), label->sizeHint()));
  return Keep(std::make_unique<Label>(label, name));
}

TLabel* FormWindow::AddValueLabel(TWinControl* parent, const std::string& name, const std::string& value,
                                  const Bounds& bounds, const LabelStyle& style) {
  auto* label = new QLabel(ToQt(value), ParentWidget(parent));
  ApplyStyle(label, style);
  label->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<Label>(label, name));
}

TButton* FormWindow::AddButton(TWinControl* parent, const std::string& name, const std::string& caption,
                               const Bounds& bounds) {
  auto* button = new QPushButton(ToQt(caption), ParentWidget(parent));
  button->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<Button>(button, name));
}

TCheckBox* FormWindow::AddCheckBox(TWinControl* parent, const std::string& name, const std::string& caption,
                                   const Bounds& bounds) {
  auto* box = new QCheckBox(ToQt(caption), ParentWidget(parent));
  box->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<CheckBox>(box, name));
}

// The form's edits show values: no tab stop, and the button face behind the text.
TEdit* FormWindow::AddEdit(TWinControl* parent, const std::string& name, const Bounds& bounds,
                           const EditStyle& style) {
  auto* edit = new QLineEdit(ParentWidget(parent));
  edit->setFocusPolicy(Qt::ClickFocus);
  QPalette colors = edit->palette();
  colors.setColor(QPalette::Base, colors.color(QPalette::Button));
  edit->setPalette(colors);
  edit->setReadOnly(style.readOnly);
  edit->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<Edit>(edit, name));
}

TComboBox* FormWindow::AddComboBox(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  auto* box = new QComboBox(ParentWidget(parent));
  box->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<ComboBox>(box, name));
}

TListBox* FormWindow::AddListBox(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  auto* list = new QListWidget(ParentWidget(parent));
  list->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<ListBox>(list, name));
}

TGroupBox* FormWindow::AddGroupBox(TWinControl* parent, const std::string& name, const std::string& caption,
                                   const Bounds& bounds, DisabledTitle title) {
  auto* group = new QGroupBox(ToQt(caption), ParentWidget(parent));
  group->setGeometry(ToQRect(bounds));
  KeepTextReadable(group, title == DisabledTitle::Greyed ? ContainerTitle::Greyed : ContainerTitle::Readable);
  return Keep(std::make_unique<GroupBox>(group, name));
}

TBevel* FormWindow::AddBevel(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  auto* frame = new QFrame(ParentWidget(parent));
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<Bevel>(frame, name));
}

TScrollBar* FormWindow::AddScrollBar(TWinControl* parent, const std::string& name, int min, int max,
                                     int position, const Bounds& bounds) {
  auto* bar = new QScrollBar(Qt::Horizontal, ParentWidget(parent));
  bar->setRange(min, max);
  bar->setValue(position);
  bar->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<ScrollBar>(bar, name));
}

TPageControl* FormWindow::AddPageControl(TWinControl* parent, const std::string& name, const Bounds& bounds) {
  auto* pages = new QTabWidget(ParentWidget(parent));
  pages->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<PageControl>(pages, name));
}

TTabSheet* FormWindow::AddTabSheet(TPageControl* pages, const std::string& name, const std::string& caption) {
  auto* sheet = Keep(std::make_unique<TabSheet>(new TSurfacePage, name, caption));
  static_cast<PageControl*>(pages)->Add(sheet);
  return sheet;
}

TDrawingArea* FormWindow::AddDrawingArea(TTabSheet* sheet, const std::string& name, const Bounds& bounds) {
  auto* page = static_cast<TabSheet*>(sheet)->W();
  auto* view = new QWidget(page);
  view->setGeometry(ToQRect(bounds));
  return Keep(std::make_unique<DrawingArea>(view, page, name));
}

TStatusBar* FormWindow::AddStatusBar(TTabSheet* sheet, const std::string& name, int height,
                                     const std::string& text) {
  auto* page = static_cast<TabSheet*>(sheet)->W();
  auto* bar = Keep(std::make_unique<StatusBar>(new QStatusBar(page), name));
  bar->W()->resize(bar->W()->width(), height);
  bar->SetSimpleText(text);
  page->AlignBottom(bar->W());
  return bar;
}

TMenuItem* FormWindow::AddMenu(const std::string& name, const std::string& caption) {
  QMenuBar* bar = MenuBar();
  QMenu* menu = bar->addMenu(ToQt(caption));
  menu->setObjectName(ToQt(name));
  menu->setAccessibleName(ToQt(caption).trimmed());
  FixSize();
  return Keep(std::make_unique<MenuItem>(menu->menuAction(), name));
}

TMenuItem* FormWindow::AddMenuItem(TMenuItem* menu, const std::string& name, const std::string& caption,
                                   const MenuItemStyle& style) {
  QAction* action = static_cast<MenuItem*>(menu)->QtMenu()->addAction(ToQt(caption));
  action->setEnabled(style.enabled);
  action->setCheckable(style.checkable || style.checked || style.radioGroup != 0);
  action->setChecked(style.checked);
  if (style.radioGroup != 0) {
    auto found = std::find_if(radioGroups_.begin(), radioGroups_.end(),
                              [&](const auto& group) { return group.first == style.radioGroup; });
    if (found == radioGroups_.end()) {
      auto* group = new QActionGroup(host_);
      group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
      found = radioGroups_.insert(radioGroups_.end(), {style.radioGroup, group});
    }
    found->second->addAction(action);
  }
  return Keep(std::make_unique<MenuItem>(action, name));
}

void FormWindow::AddMenuSeparator(TMenuItem* menu) { static_cast<MenuItem*>(menu)->QtMenu()->addSeparator(); }

TTimer* FormWindow::AddTimer(const std::string& name, int intervalMs) {
  auto* timer = new QTimer(host_);
  timer->setObjectName(ToQt(name));
  return Keep(std::make_unique<Timer>(timer, intervalMs));
}

void FormWindow::SetDefaultButton(TButton* button) { static_cast<Button*>(button)->W()->setDefault(true); }

void FormWindow::SetFont(TWinControl* container, const Font& font) { WidgetOf(container)->setFont(QtFont(font)); }

}  // namespace forms::qt

namespace forms {

std::unique_ptr<TFormWindow> CreateFormWindow(const FormDescription& description) {
  return std::make_unique<qt::FormWindow>(description);
}

}  // namespace forms
