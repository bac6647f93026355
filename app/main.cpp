// Start-up: the main window, then the About box, then the message loop.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "platform/close_requests.h"

int main(int, char* argv[]) {
  // The program reads no command line: the toolkit sees the program name only.
  int toolkitArgc = 1;
  char* toolkitArgv[] = {argv[0], nullptr};
  QApplication application(toolkitArgc, toolkitArgv);
  try {
    TForm1 form;
    TAboutBoxDlg about;
    form.AboutBoxDlg = &about;
    // Asked to end from outside, the program closes its window, so that the
    // window's destruction stops a capture and releases the reader.
    platform::WatchCloseRequests(form.Handle);
    form.show();
    application.exec();
  } catch (const std::exception& error) {
    QMessageBox::critical(nullptr, QApplication::applicationName(),
                          QString::fromLocal8Bit(error.what()));
  }
  return 0;
}
