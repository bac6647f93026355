// Start-up: the toolkit's application object, the main window, then the About
// box, then the message loop.
#include <exception>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "forms/application.h"
#include "forms/dialogs.h"

int main(int, char* argv[]) {
  forms::Application application(argv[0]);
  try {
    TForm1 form;
    TAboutBoxDlg about;
    form.AboutBoxDlg = &about;
    application.Run(*form.Window);
  } catch (const std::exception& error) {
    forms::ShowMessageBox(nullptr, error.what(), "tolvane-diag", forms::MessageIcon::Error);
  }
  return 0;
}
