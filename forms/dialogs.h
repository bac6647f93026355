// The system's standard dialogs: a message box with an OK button, and the
// dialogs that ask for a file to open or to save.
#pragma once

#include <optional>
#include <string>

namespace forms {

class TFormWindow;

enum class MessageIcon { None, Warning, Error };

// Modal; returns once the user closed the box. With an owner the box is the
// owner's, otherwise the program's.
void ShowMessageBox(TFormWindow* owner, const std::string& text, const std::string& caption,
                    MessageIcon icon);

struct FileDialogOptions {
  bool save = false;
  std::string title;
  std::string fileName;  // the name the dialog starts with
  // Pairs of description and pattern: "Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*".
  std::string filter;
  std::string defaultExt;  // without the dot
};

// The chosen path, or nullopt when the user cancelled.
std::optional<std::string> AskFileName(TFormWindow* owner, const FileDialogOptions& options);

}  // namespace forms
