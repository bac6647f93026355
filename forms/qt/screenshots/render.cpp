// Renders the main window (General and Image pages) and the About box into PNG
// files, for the documentation: tolvane-screenshots OUTPUT_DIRECTORY.
// Run on the offscreen platform; the window shows what the simulated machine
// holds once the first Refresh has run, then the R20 reader initialized,
// capturing and making a smart capture, an HMX04 (a smaller image) after a
// capture, and the parallel reader initialized.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QWidget>
#include <cstdio>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "forms/application.h"
#include "forms/qt/qt_components.h"

namespace {

void ProcessEventsFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// Selects the listed reader and runs Init; false when it is not listed.
bool InitReader(TForm1& form, const char* item) {
  const int index = form.ComboDeviceID->IndexOf(item);
  if (index < 0) {
    std::fprintf(stderr, "tolvane-screenshots: no %s reader listed\n", item);
    return false;
  }
  form.ComboDeviceID->Choose(index);
  form.BtnInit->Click();
  return true;
}

void ShowPage(TForm1& form, forms::TTabSheet* page) {
  form.PageControl1->SetActivePage(page);
  ProcessEventsFor(100);
}

bool Save(const forms::TControl& control, const QDir& directory, const char* name) {
  const QString path = directory.filePath(QString::fromLatin1(name));
  if (forms::qt::WidgetOf(&control)->grab().save(path)) return true;
  std::fprintf(stderr, "tolvane-screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  forms::Application application(argv[0]);
  if (argc != 2) {
    std::fprintf(stderr, "usage: tolvane-screenshots OUTPUT_DIRECTORY\n");
    return 2;
  }
  const QDir directory(QString::fromLocal8Bit(argv[1]));
  if (!directory.exists()) {
    std::fprintf(stderr, "tolvane-screenshots: no directory %s\n", argv[1]);
    return 2;
  }

  TForm1 form;
  TAboutBoxDlg about;
  form.Window->Show();
  ProcessEventsFor(600);  // the first Refresh runs 100 ms after start

  bool saved = Save(*form.Window, directory, "main-image.png");
  form.PageControl1->SetActivePage(form.TabGeneral);
  ProcessEventsFor(50);
  saved = Save(*form.Window, directory, "main-general.png") && saved;
  about.Window->Show();
  ProcessEventsFor(50);
  saved = Save(*about.Window, directory, "about.png") && saved;
  about.Window->SetVisible(false);

  // The R20 initialized: its identity in the USB group, the Image tab ready.
  if (!InitReader(form, "R20 -- HMX05:0")) return 1;
  ShowPage(form, form.TabGeneral);
  saved = Save(*form.Window, directory, "main-general-usb.png") && saved;
  ShowPage(form, form.TabImage);
  saved = Save(*form.Window, directory, "main-init.png") && saved;

  // A captured fingerprint with its result line.
  if (!form.CaptureOnce()) {
    std::fprintf(stderr, "tolvane-screenshots: the R20 captured no image\n");
    return 1;
  }
  ProcessEventsFor(100);
  saved = Save(*form.Window, directory, "main-capture.png") && saved;

  // A smart capture with its details. The page control that holds them lies
  // beyond the window's client area, so it is rendered on its own.
  form.CheckBoxSmartCapture->SetChecked(true);
  if (!form.CaptureOnce()) {
    std::fprintf(stderr, "tolvane-screenshots: the R20 made no smart capture\n");
    return 1;
  }
  form.PageControl2->SetActivePage(form.TabSmartCapture);
  ProcessEventsFor(100);
  saved = Save(*form.PageControl2, directory, "smart-capture.png") && saved;

  // A reader with images smaller than 300 x 400, after a capture.
  if (!InitReader(form, "USB -- HMX04:0")) return 1;
  ShowPage(form, form.TabImage);
  if (!form.CaptureOnce()) {
    std::fprintf(stderr, "tolvane-screenshots: the HMX04 captured no image\n");
    return 1;
  }
  ProcessEventsFor(100);
  saved = Save(*form.Window, directory, "main-capture-small.png") && saved;

  // The parallel reader initialized: its port and mode in the parallel group.
  if (!InitReader(form, "Parallel -- HMP02:0")) return 1;
  ShowPage(form, form.TabGeneral);
  saved = Save(*form.Window, directory, "main-general-parallel.png") && saved;
  return saved ? 0 : 1;
}
