// A test-only Qt generic plugin that watches a running program from inside:
// once the main window's status bar shows a text containing one of the
// '|'-separated parts of $TOLVANE_PROBE_UNTIL, it writes the selector's items
// and the status text to $TOLVANE_PROBE_OUTPUT, one per line, and quits the
// program. After 60 s without such a text it writes "timeout" first.
// Loaded with QT_QPA_GENERIC_PLUGINS=tolvanestatusprobe.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QGenericPlugin>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr qint64 kGiveUpMs = 60000;

QStatusBar* StatusBar() {
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (auto* status = window->findChild<QStatusBar*>(QStringLiteral("StatusBar"))) return status;
  }
  return nullptr;
}

bool Awaited(const QString& text) {
  for (const QString& part : qEnvironmentVariable("TOLVANE_PROBE_UNTIL").split(QLatin1Char('|'))) {
    if (!part.isEmpty() && text.contains(part)) return true;
  }
  return false;
}

void Report(QStatusBar* status, bool timedOut) {
  QFile output(qEnvironmentVariable("TOLVANE_PROBE_OUTPUT"));
  if (output.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    if (timedOut) output.write("timeout\n");
    if (status) {
      if (auto* selector = status->window()->findChild<QComboBox*>(QStringLiteral("ComboDeviceID"))) {
        for (int i = 0; i < selector->count(); ++i) output.write(selector->itemText(i).toUtf8() + '\n');
      }
      output.write("status: " + status->currentMessage().toUtf8() + '\n');
    }
  }
  QCoreApplication::quit();
}

}  // namespace

class StatusProbePlugin : public QGenericPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "status_probe.json")

 public:
  QObject* create(const QString& key, const QString&) override {
    if (key.compare(QStringLiteral("tolvanestatusprobe"), Qt::CaseInsensitive) != 0) return nullptr;
    auto* timer = new QTimer;
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock] {
      QStatusBar* status = StatusBar();
      const bool seen = status && Awaited(status->currentMessage());
      if (seen || clock->elapsed() > kGiveUpMs) {
        timer->stop();
        delete clock;
        Report(status, !seen);
      }
    });
    timer->start();
    return timer;
  }
};

#include "status_probe_plugin.moc"
