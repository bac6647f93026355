#include "app/widget_factory.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScrollBar>

namespace {

template <typename Widget>
Widget* Named(Widget* widget, const char* name, const QString& accessibleName) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setAccessibleName(accessibleName);
  return widget;
}

}  // namespace

QString ShownCaption(const QString& caption) {
  QString shown = caption;
  shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
  return shown;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w,
                  int h) {
  auto* label = Named(new QLabel(text, parent), name, text);
  const QSize hint = label->sizeHint();
  label->setGeometry(x, y, w < 0 ? hint.width() : w, h < 0 ? hint.height() : h);
  return label;
}

QLabel* MakeBoldLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
  auto* label = Named(new QLabel(text, parent), name, text);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  label->setGeometry(QRect(QPoint(x, y), label->sizeHint()));
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
  auto* button = Named(new QPushButton(caption, parent), name, caption);
  button->setGeometry(bounds);
  return button;
}

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
  auto* box = Named(new QCheckBox(caption, parent), name, caption.trimmed());
  box->setGeometry(bounds);
  return box;
}

QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds) {
  auto* group = Named(new QGroupBox(caption, parent), name, ShownCaption(caption).trimmed());
  group->setGeometry(bounds);
  return group;
}

QLineEdit* MakeInfoEdit(QWidget* parent, const char* name, const QString& accessibleName,
                        const QRect& bounds) {
  auto* edit = Named(new QLineEdit(parent), name, accessibleName.trimmed());
  edit->setFocusPolicy(Qt::ClickFocus);
  QPalette colors = edit->palette();
  colors.setColor(QPalette::Base, colors.color(QPalette::Button));
  edit->setPalette(colors);
  edit->setGeometry(bounds);
  return edit;
}

QScrollBar* MakeScrollBar(QWidget* parent, const char* name, const QString& accessibleName,
                          int minimum, int maximum, int position, const QRect& bounds) {
  auto* bar = Named(new QScrollBar(Qt::Horizontal, parent), name, accessibleName);
  bar->setRange(minimum, maximum);
  bar->setValue(position);
  bar->setGeometry(bounds);
  return bar;
}

QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& bounds) {
  auto* frame = Named(new QFrame(parent), name, QString());
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Sunken);
  frame->setGeometry(bounds);
  return frame;
}

QWidget* MakeImageView(QWidget* parent, const char* name, const QString& accessibleName,
                       const QRect& bounds) {
  auto* view = Named(new QWidget(parent), name, accessibleName);
  view->setGeometry(bounds);
  return view;
}
