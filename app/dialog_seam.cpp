#include "app/dialog_seam.h"

int DialogSeam::MessageBox(forms::TFormWindow* owner, const std::string& text, const std::string& caption,
                           MessageIcon icon) {
  shownMessages.push_back(Message{caption, text, icon, owner != nullptr});
  if (!nextAnswers.empty()) {
    const int answer = nextAnswers.front();
    nextAnswers.pop_front();
    if (whileMessageBoxShown) whileMessageBoxShown();
    return answer;
  }
  forms::ShowMessageBox(owner, text, caption, icon);
  return kModalResultOk;
}

int DialogSeam::ShowModal(forms::TFormWindow& dialog) {
  ++modalDialogsShown;
  if (!nextAnswers.empty()) {
    const int answer = nextAnswers.front();
    nextAnswers.pop_front();
    return answer;
  }
  return dialog.ShowModal();
}

std::optional<std::string> DialogSeam::AskFileName(forms::TFormWindow* owner, const forms::FileDialogOptions& options) {
  ++fileDialogsShown;
  if (!nextFileNames.empty()) {
    std::optional<std::string> answer = std::move(nextFileNames.front());
    nextFileNames.pop_front();
    return answer;
  }
  return forms::AskFileName(owner, options);
}

bool TFileDialog::Execute() {
  const std::optional<std::string> chosen =
      seam_.AskFileName(Owner, forms::FileDialogOptions{save_, Title, FileName, Filter, DefaultExt});
  if (!chosen || chosen->empty()) return false;
  FileName = WithDefaultExtension(*chosen, DefaultExt);
  return true;
}

std::string WithDefaultExtension(const std::string& name, const std::string& ext) {
  const size_t lastPart = name.find_last_of("/\\");
  const std::string_view last = lastPart == std::string::npos ? std::string_view(name)
                                                              : std::string_view(name).substr(lastPart + 1);
  const size_t dot = last.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && dot + 1 < last.size();
  if (ext.empty() || hasExtension) return name;
  return name + "." + ext;
}
