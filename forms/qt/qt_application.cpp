// The Qt application object behind the forms' one.
#include <QApplication>
#include <QEventLoop>
#include <memory>

#include "forms/application.h"
#include "forms/form_window.h"
#include "platform/close_requests.h"

namespace forms {

namespace {

std::unique_ptr<QApplication> application;
int toolkitArgc = 1;
char* toolkitArgv[] = {nullptr, nullptr};

}  // namespace

// The program reads no command line: the toolkit sees the program name only.
Application::Application(const char* programName) {
  // Screen readers reach the window through the accessibility bus. Qt joins it
  // at start only when the bus says that one is listening, and never notices
  // a screen reader started later: wherever a bus exists, the window is on it.
  qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
  toolkitArgv[0] = const_cast<char*>(programName);
  application = std::make_unique<QApplication>(toolkitArgc, toolkitArgv);
}

Application::~Application() { application.reset(); }

// Asked to end from outside, the program closes its window, so that the
// window's destruction stops a capture and releases the reader.
void Application::Run(TFormWindow& mainWindow) {
  platform::WatchCloseRequests(mainWindow.Handle());
  mainWindow.Show();
  QApplication::exec();
}

void Application::ProcessMessages(int waitMs) { QApplication::processEvents(QEventLoop::AllEvents, waitMs); }

}  // namespace forms
