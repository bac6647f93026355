// Controls placed the way the form description places them: a design name, a
// caption, a fixed position and size in the parent.
//
// Accessible names: a control with a caption of its own is named by it, and a
// label showing a value by the value (Qt's defaults). A box, list or value that
// has a caption beside it is that caption's buddy: the caption labels it.
#pragma once

#include <QRect>
#include <QString>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QWidget;

// A caption at (x, y) that keeps the size of its text, as its font changes too.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y);
QLabel* MakeBoldLabel(QWidget* parent, const char* name, const QString& text, int x, int y);
// A label showing a value in fixed bounds, beside the caption that labels it.
QLabel* MakeValueLabel(QLabel* caption, const char* name, const QString& value, const QRect& bounds);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds);
QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds);
// A read-only-looking information box beside its caption: button-face
// background and no tab stop.
QLineEdit* MakeInfoEdit(QLabel* caption, const char* name, const QRect& bounds);
QScrollBar* MakeScrollBar(QWidget* parent, const char* name, const QString& accessibleName,
                          int minimum, int maximum, int position, const QRect& bounds);
// A sunken frame of the form library's bevel.
QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& bounds);
// A bare place holder where images are drawn onto the parent's surface.
QWidget* MakeImageView(QWidget* parent, const char* name, const QString& accessibleName,
                       const QRect& bounds);
