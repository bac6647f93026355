// Controls placed the way the form description places them: a design name, a
// caption, a fixed position and size in the parent, and an accessible name.
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

// A label sized to its text at (x, y), or to `w` × `h` when given.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y,
                  int w = -1, int h = -1);
QLabel* MakeBoldLabel(QWidget* parent, const char* name, const QString& text, int x, int y);
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds);
QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds);
QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& caption,
                        const QRect& bounds);
// A read-only-looking information box: button-face background and no tab stop.
QLineEdit* MakeInfoEdit(QWidget* parent, const char* name, const QString& accessibleName,
                        const QRect& bounds);
QScrollBar* MakeScrollBar(QWidget* parent, const char* name, const QString& accessibleName,
                          int minimum, int maximum, int position, const QRect& bounds);
// A sunken frame of the form library's bevel.
QFrame* MakeBevel(QWidget* parent, const char* name, const QRect& bounds);
// A bare place holder where images are drawn onto the parent's surface.
QWidget* MakeImageView(QWidget* parent, const char* name, const QString& accessibleName,
                       const QRect& bounds);
// The caption shown for a text with "&&" escapes.
QString ShownCaption(const QString& caption);
