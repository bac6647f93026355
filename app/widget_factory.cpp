#include "app/widget_factory.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

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

}  // namespace

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* label = Named(new AutoSizeLabel(text, parent), name);
  label->setGeometry(QRect(QPoint(x, y), label->sizeHint()));
  return label;
}

QLabel* MakeBoldLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  QLabel* label = MakeLabel(parent, name, text, x, y);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QLabel* MakeValueLabel(QLabel* caption, const char* name, const QString& value, const QRect& bounds) {
  auto* label = Named(new QLabel(value, caption->parentWidget()), name);
  label->setGeometry(bounds);
  caption->setBuddy(label);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
  auto* button = Named(new QPushButton(caption, parent), name);
  button->setGeometry(bounds);
  return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
  auto* box = Named(new QCheckBox(caption, parent), name);
  box->setGeometry(bounds);
  return box;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
  auto* group = Named(new QGroupBox(caption, parent), name);
  group->setGeometry(bounds);
  return group;
}

QLineEdit* MakeInfoEdit(QLabel* caption, const char* name, const QRect& bounds) {
  auto* edit = Named(new QLineEdit(caption->parentWidget()), name);
  edit->setFocusPolicy(Qt::ClickFocus);
  QPalette colors = edit->palette();
  colors.setColor(QPalette::Base, colors.color(QPalette::Button));
  edit->setPalette(colors);
  edit->setGeometry(bounds);
  caption->setBuddy(edit);
  return edit;
}

QScrollBar* MakeScrollBar(QWidget* parent, const char* name, const QString& accessibleName,
                          int minimum, int maximum, int position, const QRect& bounds) {
  auto* bar = Named(new QScrollBar(Qt::Horizontal, parent), name);
  bar->setAccessibleName(accessibleName);
  bar->setRange(minimum, maximum);
  bar->setValue(position);
  bar->setGeometry(bounds);
  return bar;
}

QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& bounds) {
  auto* frame = Named(new QFrame(parent), name);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(bounds);
  return frame;
}

QWidget* MakeImageView(QWidget* parent, const char* name, const QString& accessibleName,
                       const QRect& bounds) {
  auto* view = Named(new QWidget(parent), name);
  view->setAccessibleName(accessibleName);
  view->setGeometry(bounds);
  return view;
}
