// Whether a person can read every text the window shows whole, at the font
// each control really uses: not cut by its own control, by a container, nor
// hidden by a control stacked above it.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
#include <string>
#include <vector>

#include "app/mainform.h"
#include "forms/qt/qt_components.h"

// Where a control draws one of its texts (in its own coordinates) and the room
// it has for it there.
struct TextPlace {
  QString text;
  QRect drawn;
  QRect room;
};

inline QRect Laid(const QWidget* control, const QRect& room, int flags, const QString& text) {
  return control->fontMetrics().boundingRect(room, flags, text);
}

inline std::vector<TextPlace> TextPlaces(const QWidget* control) {
  QStyle* style = control->style();
  const auto place = [&](const QString& text, const QRect& room, int flags) {
    return TextPlace{text, Laid(control, room, flags, text), room};
  };
  if (const auto* label = qobject_cast<const QLabel*>(control)) {
    QString text = label->text();
    // A closing line break starts a line that shows nothing.
    while (text.endsWith(QLatin1Char('\n'))) text.chop(1);
    if (text.isEmpty()) return {};
    const int flags = int(label->alignment()) | Qt::TextExpandTabs | (label->wordWrap() ? Qt::TextWordWrap : 0);
    return {place(text, label->contentsRect(), flags)};
  }
  if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const bool box = qobject_cast<const QCheckBox*>(button) != nullptr;
    const QRect room = style->subElementRect(box ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents,
                                             &option, button);
    return {place(button->text(), room, (box ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter) | Qt::TextShowMnemonic)};
  }
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) {
    if (edit->text().isEmpty()) return {};
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    // A line edit keeps two pixels free on either side of its text.
    const QRect room = style->subElementRect(QStyle::SE_LineEditContents, &option, edit).adjusted(2, 0, -2, 0);
    return {place(edit->text(), room, Qt::AlignLeft | Qt::AlignVCenter)};
  }
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
    if (group->title().isEmpty()) return {};
    QStyleOptionGroupBox option;
    option.initFrom(group);
    option.text = group->title();
    option.lineWidth = 1;
    option.textAlignment = group->alignment();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title = style->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, group);
    return {TextPlace{group->title(), title, group->rect()}};
  }
  if (const auto* bar = qobject_cast<const QStatusBar*>(control)) {
    if (bar->currentMessage().isEmpty()) return {};
    // The bar draws its message 6 pixels from the left and keeps 12 free at the right.
    return {place(bar->currentMessage(), QRect(6, 0, bar->width() - 18, bar->height()),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine)};
  }
  if (const auto* tabs = qobject_cast<const QTabBar*>(control)) {
    std::vector<TextPlace> places;
    const int padding = style->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs) / 2;
    for (int i = 0; i < tabs->count(); ++i) {
      const QRect room = tabs->tabRect(i).adjusted(padding, 0, -padding, 0);
      places.push_back(place(tabs->tabText(i), room, Qt::AlignCenter | Qt::TextShowMnemonic));
    }
    return places;
  }
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
    QStyleOptionComboBox option;
    option.initFrom(combo);
    option.subControls = QStyle::SC_All;
    const QRect room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    // Any item may be the one shown.
    std::vector<TextPlace> places;
    for (int i = 0; i < combo->count(); ++i) {
      places.push_back(place(combo->itemText(i), room, Qt::AlignLeft | Qt::AlignVCenter));
    }
    return places;
  }
  if (const auto* list = qobject_cast<const QListWidget*>(control)) {
    // Lines scroll up and down, never sideways: each is judged on the top line.
    const QRect viewport = list->viewport()->geometry();
    const QRect room(viewport.left(), viewport.top(), viewport.width(), list->fontMetrics().height());
    std::vector<TextPlace> places;
    for (int i = 0; i < list->count(); ++i) {
      places.push_back(place(list->item(i)->text(), room, Qt::AlignLeft | Qt::AlignTop));
    }
    return places;
  }
  return {};
}

// What of `control` hides what lies beneath it, in its parent's coordinates.
// Labels and check boxes show their texts (and the box) on a clear ground;
// place holders and bevels have images drawn beneath them.
inline std::vector<QRect> Covers(const QWidget* control) {
  const QMetaObject* kind = control->metaObject();
  if (kind == &QWidget::staticMetaObject || kind == &QFrame::staticMetaObject) return {};
  std::vector<QRect> covers;
  if (qobject_cast<const QLabel*>(control) || qobject_cast<const QCheckBox*>(control)) {
    for (const TextPlace& place : TextPlaces(control)) covers.push_back(place.drawn.translated(control->pos()));
    if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
      QStyleOptionButton option;
      option.initFrom(box);
      covers.push_back(control->style()
                           ->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box)
                           .translated(control->pos()));
    }
    return covers;
  }
  return {control->geometry()};
}

inline std::string Describe(const QWidget* control) {
  const QString name = control->objectName();
  return std::string(control->metaObject()->className()) + (name.isEmpty() ? "" : " " + name.toStdString());
}

// Why the text at `place` of `control` cannot be read whole; empty when it can.
// Containers up to `root` (exclusive) clip it.
inline std::string Obstacle(const QWidget* control, const TextPlace& place, const QWidget* root) {
  if (!place.room.contains(place.drawn)) return "cut by its own room";
  QRect text = place.drawn;
  for (const QWidget* level = control; level != root; level = level->parentWidget()) {
    if (!level->rect().contains(text)) return "cut by " + Describe(level);
    text.translate(level->pos());
    const QObjectList& siblings = level->parentWidget()->children();
    for (qsizetype i = siblings.indexOf(const_cast<QWidget*>(level)) + 1; i < siblings.size(); ++i) {
      const auto* above = qobject_cast<const QWidget*>(siblings[i]);
      if (!above || above->isHidden() || above->isWindow()) continue;
      for (const QRect& cover : Covers(above)) {
        if (cover.intersects(text)) return "covered by " + Describe(above);
      }
    }
  }
  return {};
}

// Every text shown under `root` that cannot be read whole, as
// "text" in control: reason.
inline std::vector<std::string> CutTexts(const QWidget* root) {
  std::vector<std::string> cut;
  for (const QWidget* control : root->findChildren<const QWidget*>()) {
    if (!control->isVisibleTo(root)) continue;
    for (const TextPlace& place : TextPlaces(control)) {
      const std::string obstacle = Obstacle(control, place, root);
      if (!obstacle.empty()) {
        cut.push_back("\"" + place.text.toStdString() + "\" in " + Describe(control) + ": " + obstacle);
      }
    }
  }
  return cut;
}

// The same over every page of both page controls: the window's client area,
// with the out-of-view pages judged by their own bounds.
inline std::vector<std::string> CutTextsOnEveryPage(TForm1& form) {
  std::vector<std::string> cut;
  for (forms::TPageControl* control : {form.PageControl1, form.PageControl2}) {
    auto* pages = static_cast<QTabWidget*>(forms::qt::WidgetOf(control));
    const int shown = pages->currentIndex();
    for (int i = 0; i < pages->count(); ++i) {
      pages->setCurrentIndex(i);
      for (std::string& text : CutTexts(forms::qt::WidgetOf(form.Window->Client()))) {
        if (std::find(cut.begin(), cut.end(), text) == cut.end()) cut.push_back(std::move(text));
      }
    }
    pages->setCurrentIndex(shown);
  }
  return cut;
}
