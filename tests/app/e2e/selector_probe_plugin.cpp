// A test-only Qt generic plugin that watches the running program from inside:
// once the main window's device selector is filled, it writes the selector's
// items and the status bar's text to $TOLVANE_PROBE_OUTPUT, one per line, and
// quits the program. Loaded with QT_QPA_GENERIC_PLUGINS=tolvaneselectorprobe;
// the program itself knows nothing of it.
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGenericPlugin>
#include <QStatusBar>
#include <QTimer>

namespace {

// The selector once the first Refresh replaced its design items ("USB",
// "Parallel: AutoDetect", ...) by readers ("R20 -- HMX05:0", ...).
QComboBox* FilledSelector() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    auto* selector = window->findChild<QComboBox*>(QStringLiteral("ComboDeviceID"));
    if (selector && selector->count() > 0 && selector->itemText(0).contains(QStringLiteral(" -- "))) {
      return selector;
    }
  }
  return nullptr;
}

void Report(QComboBox* selector) {
  QFile output(qEnvironmentVariable("TOLVANE_PROBE_OUTPUT"));
  if (output.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    for (int i = 0; i < selector->count(); ++i) output.write(selector->itemText(i).toUtf8() + '\n');
    if (auto* status = selector->window()->findChild<QStatusBar*>(QStringLiteral("StatusBar"))) {
      output.write("status: " + status->currentMessage().toUtf8() + '\n');
    }
  }
  QCoreApplication::quit();
}

}  // namespace

class SelectorProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "selector_probe.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    if (key.compare(QStringLiteral("tolvaneselectorprobe"), Qt::CaseInsensitive) != 0) return nullptr;
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer] {
      if (QComboBox* selector = FilledSelector()) {
        timer->stop();
        Report(selector);
      }
    });
    timer->start();
    return timer;
  }
};

#include "selector_probe_plugin.moc"
