// The system's message box and file dialogs.
// <windows.h> first: the system's other headers build on it.
#include "platform/win32.h"

#include <commdlg.h>

#include <vector>

#include "forms/dialogs.h"
#include "forms/form_window.h"

namespace forms {

namespace {

UINT IconStyle(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning:
      return MB_ICONWARNING;
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::None:
      break;
  }
  return 0;
}

HWND OwnerWindow(TFormWindow* owner) { return owner ? owner->Handle() : nullptr; }

// "Bmp files (*.bmp)|*.bmp" as the dialogs read it: each part ends with a
// NUL, the whole with another.
std::vector<char> SystemFilter(const std::string& filter) {
  std::vector<char> parts(filter.begin(), filter.end());
  for (char& c : parts) {
    if (c == '|') c = '\0';
  }
  parts.insert(parts.end(), 2, '\0');
  return parts;
}

}  // namespace

void ShowMessageBox(TFormWindow* owner, const std::string& text, const std::string& caption, MessageIcon icon) {
  MessageBoxA(OwnerWindow(owner), text.c_str(), caption.c_str(), MB_OK | IconStyle(icon));
}

std::optional<std::string> AskFileName(TFormWindow* owner, const FileDialogOptions& options) {
  std::vector<char> path(MAX_PATH * 4, '\0');
  options.fileName.copy(path.data(), path.size() - 1);
  const std::vector<char> filter = SystemFilter(options.filter);
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = OwnerWindow(owner);
  dialog.lpstrFilter = options.filter.empty() ? nullptr : filter.data();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(path.size());
  dialog.lpstrTitle = options.title.empty() ? nullptr : options.title.c_str();
  dialog.lpstrDefExt = options.defaultExt.empty() ? nullptr : options.defaultExt.c_str();
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
  const BOOL chosen = options.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
  if (!chosen) return std::nullopt;
  return std::string(path.data());
}

}  // namespace forms
