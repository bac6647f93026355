// Every modal question the windows ask goes through one DialogSeam, so that a
// test can answer it without a person: queue the answers, run the command,
// look at what was asked.
#pragma once

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

class QDialog;
class QMessageBox;
class QWidget;

enum class MessageIcon { None, Warning, Error };

// A message box's icon says what kind of message it is; screen readers hear
// that as the icon's name ("Warning", "Error", ...).
void NameMessageIcon(QMessageBox& box);

// Modal results, as the form library numbers them.
inline constexpr int kModalResultOk = 1;

class DialogSeam {
 public:
  struct Message {
    QString caption;
    QString text;
    MessageIcon icon;
    bool owned;  // shown with the main window as owner
  };

  // A message box with an OK button; returns the modal result.
  int MessageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon);
  // Runs a dialog modally; returns its modal result.
  int ShowModal(QDialog& dialog);
  // Asks for a file name; nullopt when the user cancels. `filter` is in the
  // form library's "description|pattern|..." notation.
  std::optional<QString> AskFileName(QWidget* owner, bool save, const QString& title,
                                     const QString& fileName, const QString& filter);

  // Answers for the next questions, oldest first. An empty queue asks a person.
  std::deque<int> nextAnswers;
  // Runs while a message box answered from the queue is up, as the events
  // that a shown box's own event loop delivers.
  std::function<void()> whileMessageBoxShown;
  std::deque<std::optional<QString>> nextFileNames;  // nullopt answers "Cancel"

  // Everything asked so far, for tests to read.
  std::vector<Message> shownMessages;
  int modalDialogsShown = 0;
  int fileDialogsShown = 0;
};

// The form library's file dialog component: settings first, then Execute.
class TFileDialog {
 public:
  TFileDialog(DialogSeam& seam, QWidget* owner, bool save);

  // True when a name was chosen; FileName then holds it, with DefaultExt
  // appended when the chosen name has no extension.
  bool Execute();

  QString FileName;
  QString DefaultExt;
  QString Filter;
  QString Title;

 private:
  DialogSeam& seam_;
  QWidget* owner_;
  bool save_;
};

// "Bmp files (*.bmp)|*.bmp|All files (*.*)|*.*" in Qt's ";;" notation.
QString QtFileFilter(const QString& filter);
// `name` with "." + ext appended when its last path component has no extension.
QString WithDefaultExtension(const QString& name, const QString& ext);
