// Qt's message box and file dialogs as the forms ask for them: the filter in
// Qt's notation.
#pragma once

#include <QString>
#include <string>

namespace forms::qt {

// "Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*" in Qt's ";;" notation.
QString QtFileFilter(const std::string& filter);

}  // namespace forms::qt
