// Every modal question the windows ask goes through one DialogSeam, so that a
// test can answer it without a person: queue the answers, run the command,
// look at what was asked.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forms/dialogs.h"
#include "forms/form_window.h"

using forms::MessageIcon;

// Modal results, as the form library numbers them.
inline constexpr int kModalResultOk = 1;

class DialogSeam {
 public:
  struct Message {
    std::string caption;
    std::string text;
    MessageIcon icon;
    bool owned;  // shown with the main window as owner
  };

  // A message box with an OK button; returns the modal result.
  int MessageBox(forms::TFormWindow* owner, const std::string& text, const std::string& caption,
                 MessageIcon icon);
  // Runs a form's window modally; returns its modal result.
  int ShowModal(forms::TFormWindow& dialog);
  // Asks for a file name; nullopt when the user cancels.
  std::optional<std::string> AskFileName(forms::TFormWindow* owner, const forms::FileDialogOptions& options);

  // Answers for the next questions, oldest first. An empty queue asks a person.
  std::deque<int> nextAnswers;
  // Runs while a message box answered from the queue is up, as the events
  // that a shown box's own event loop delivers.
  std::function<void()> whileMessageBoxShown;
  std::deque<std::optional<std::string>> nextFileNames;  // nullopt answers "Cancel"

  // Everything asked so far, for tests to read.
  std::vector<Message> shownMessages;
  int modalDialogsShown = 0;
  int fileDialogsShown = 0;
};

// The form library's file dialog component: settings first, then Execute.
class TFileDialog {
 public:
  TFileDialog(DialogSeam& seam, bool save) : seam_(seam), save_(save) {}

  // True when a name was chosen; FileName then holds it, with DefaultExt
  // appended when the chosen name has no extension.
  bool Execute();

  std::string FileName;
  std::string DefaultExt;
  std::string Filter;  // "description|pattern|..."
  std::string Title;
  forms::TFormWindow* Owner = nullptr;  // the window the dialog belongs to

 private:
  DialogSeam& seam_;
  bool save_;
};

// `name` with "." + ext appended when its last path component has no extension.
std::string WithDefaultExtension(const std::string& name, const std::string& ext);
