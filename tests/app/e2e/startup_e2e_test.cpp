// The real program, started as a subprocess on the offscreen platform against
// a prepared machine, lists the attached readers (a test-only generic plugin
// reads the window from inside and ends the program) and ends normally when
// asked to by a signal.
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <signal.h>

#include "platform/win32.h"
#include "simulator/machine/machine.h"

namespace {

bool WindowLockExists() {
  HANDLE lock = OpenMutexA(SYNCHRONIZE, FALSE, "qvdx_exeUNITLOCKER0");
  if (!lock) return false;
  CloseHandle(lock);
  return true;
}

TEST(StartupEndToEnd, TheProgramListsTheAttachedReaders) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  setenv("TOLVANE_SIM_ROOT", root.path().toLocal8Bit().constData(), 1);
  sim::InitMachine(true);
  sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel("HMX05"), 0));
  sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel("HMX04"), 2));
  sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel("parallel"), 0));
  const QString output = root.filePath(QStringLiteral("probe.txt"));

  QProcess program;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TOLVANE_TEST_PLUGIN_DIR));
  environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tolvaneselectorprobe"));
  environment.insert(QStringLiteral("TOLVANE_PROBE_OUTPUT"), output);
  program.setProcessEnvironment(environment);
  program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  program.start(QStringLiteral(TOLVANE_DIAG_PROGRAM), {});
  ASSERT_TRUE(program.waitForStarted(10000));
  const bool finished = program.waitForFinished(60000);
  if (!finished) program.kill();
  ASSERT_TRUE(finished);
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 0);

  QFile probe(output);
  ASSERT_TRUE(probe.open(QIODevice::ReadOnly));
  EXPECT_EQ(probe.readAll().toStdString(),
            "R20 -- HMX05:0\n"
            "USB -- HMX04:2\n"
            "Parallel -- HMP02:0\n"
            "status: Select a fingerprint device and Click Init button. 2 device(s) found.\n");
  unsetenv("TOLVANE_SIM_ROOT");
}

// Asked to end by SIGTERM or SIGINT, the program closes its window: the
// window's destruction runs (it removes the window's named lock) and the
// program ends normally.
TEST(StartupEndToEnd, TerminationSignalsCloseTheWindow) {
  QTemporaryDir root;
  ASSERT_TRUE(root.isValid());
  setenv("TOLVANE_SIM_ROOT", root.path().toLocal8Bit().constData(), 1);
  sim::InitMachine(true);
  sim::PlugReader(sim::DefaultReader(*sim::FindReaderModel("HMX05"), 0));
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(QStringLiteral(TOLVANE_DIAG_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    // The window exists once its lock does; its message loop runs a moment later.
    QElapsedTimer clock;
    clock.start();
    while (!WindowLockExists() && clock.elapsed() < 30000) QThread::msleep(20);
    ASSERT_TRUE(WindowLockExists());
    QThread::msleep(500);
    kill(static_cast<pid_t>(program.processId()), signal);
    const bool finished = program.waitForFinished(30000);
    if (!finished) program.kill();
    ASSERT_TRUE(finished);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_FALSE(WindowLockExists());
  }
  unsetenv("TOLVANE_SIM_ROOT");
}

}  // namespace
