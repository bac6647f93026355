// Qt's message box and file dialogs as the forms ask for them.
#pragma once

#include <QString>

class QMessageBox;

namespace forms::qt {

// A message box's icon says what kind of message it is; screen readers hear
// that as the icon's name ("Warning", "Error", ...).
void NameMessageIcon(QMessageBox& box);

// "Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*" in Qt's ";;" notation.
QString QtFileFilter(const std::string& filter);

}  // namespace forms::qt
