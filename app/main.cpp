// Start-up: the main window, then the About box, then the message loop.
#include <QApplication>
#include <QMessageBox>
#include <exception>

#include "app/aboutbox.h"
#include "app/dialog_seam.h"
#include "app/mainform.h"
#include "platform/close_requests.h"

int main(int, char* argv[]) {
  // Screen readers reach the window through the accessibility bus. Qt joins it
  // at start only when the bus says that one is listening, and never notices
  // a screen reader started later: wherever a bus exists, the window is on it.
  qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
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
    QMessageBox box(QMessageBox::Critical, QApplication::applicationName(),
                    QString::fromLocal8Bit(error.what()), QMessageBox::Ok);
    NameMessageIcon(box);
    box.exec();
  }
  return 0;
}
