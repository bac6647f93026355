// Renders the main window (General and Image pages) and the About box into PNG
// files, for the documentation: tolvane-screenshots OUTPUT_DIRECTORY.
// Run on the offscreen platform; the window shows what the simulated machine
// holds once the first Refresh has run, and then the R20 reader initialized,
// capturing, and making a smart capture.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>

#include "app/aboutbox.h"
#include "app/mainform.h"
#include "app/surface_page.h"

namespace {

void ProcessEventsFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool Save(QWidget& widget, const QDir& directory, const char* name) {
  const QString path = directory.filePath(QString::fromLatin1(name));
  if (widget.grab().save(path)) return true;
  std::fprintf(stderr, "tolvane-screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
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
  form.show();
  ProcessEventsFor(600);  // the first Refresh runs 100 ms after start

  bool saved = Save(form, directory, "main-image.png");
  form.PageControl1->setCurrentWidget(form.TabGeneral);
  ProcessEventsFor(50);
  saved = Save(form, directory, "main-general.png") && saved;
  about.show();
  ProcessEventsFor(50);
  saved = Save(about, directory, "about.png") && saved;
  about.hide();

  const int r20 = form.ComboDeviceID->findText(QStringLiteral("R20 -- HMX05:0"));
  if (r20 < 0) {
    std::fprintf(stderr, "tolvane-screenshots: no R20 reader listed\n");
    return 1;
  }
  form.ComboDeviceID->setCurrentIndex(r20);
  form.BtnInitClick(form.BtnInit);
  form.PageControl1->setCurrentWidget(form.TabImage);
  ProcessEventsFor(100);
  saved = Save(form, directory, "main-init.png") && saved;

  // A captured fingerprint with its result line.
  if (!form.CaptureOnce()) {
    std::fprintf(stderr, "tolvane-screenshots: the R20 captured no image\n");
    return 1;
  }
  ProcessEventsFor(100);
  saved = Save(form, directory, "main-capture.png") && saved;

  // A smart capture with its details. The page control that holds them lies
  // beyond the window's client area, so it is rendered on its own.
  form.CheckBoxSmartCapture->setChecked(true);
  if (!form.CaptureOnce()) {
    std::fprintf(stderr, "tolvane-screenshots: the R20 made no smart capture\n");
    return 1;
  }
  form.PageControl2->setCurrentWidget(form.TabSmartCapture);
  ProcessEventsFor(100);
  saved = Save(*form.PageControl2, directory, "smart-capture.png") && saved;
  return saved ? 0 : 1;
}
