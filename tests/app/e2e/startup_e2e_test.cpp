// The real program, started as a subprocess on the offscreen platform against
// a prepared machine, lists the attached readers. A test-only generic plugin
// reads the window from inside and ends the program.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "simulator/machine/machine.h"

namespace {

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

}  // namespace
