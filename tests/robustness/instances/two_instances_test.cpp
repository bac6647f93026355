// Two program instances against one machine. They contend for the window's
// lock "qvdx_exeUNITLOCKER0" and for the framework reader's lock; neither may
// crash or hang, and the one that does not get the window's lock says
// "Used by another process...". The contention is forced deterministically by
// holding a lock from this process, and left to chance by starting two
// instances at once. A test-only generic plugin reports what each window shows.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

#include "device/locks.h"
#include "device/records.h"
#include "simulator/machine/machine.h"

namespace {

constexpr const char* kUsedByAnother = "status: Used by another process...\n";
constexpr const char* kDefaultMachineList =
    "RPX -- HMX06:0\n"
    "R20 -- HMX05:0\n"
    "USB -- HMX04:0\n"
    "Parallel -- HMP02:0\n"
    "status: Select a fingerprint device and Click Init button. 3 device(s) found.\n";

class TwoInstancesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    setenv("TOLVANE_SIM_ROOT", root_.path().toLocal8Bit().constData(), 1);
    sim::InitMachine(false);
  }
  void TearDown() override { unsetenv("TOLVANE_SIM_ROOT"); }

  // Starts the program; its window reports once its first Refresh ended.
  std::unique_ptr<QProcess> Start(const QString& output) {
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TOLVANE_STATUS_PROBE_DIR));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("tolvanestatusprobe"));
    environment.insert(QStringLiteral("TOLVANE_PROBE_UNTIL"),
                       QStringLiteral("device(s) found|No fingerprint device found|Used by another process"));
    environment.insert(QStringLiteral("TOLVANE_PROBE_OUTPUT"), output);
    program->setProcessEnvironment(environment);
    program->setProcessChannelMode(QProcess::SeparateChannels);
    program->start(QStringLiteral(TOLVANE_DIAG_PROGRAM), {});
    return program;
  }

  // Waits for the program's end; what its window reported, or "" when it
  // crashed or hung (then it is killed). A leak report of the sanitizer at
  // exit is counted in `leaks_`, not taken for a crash; the program's errors
  // are passed on to this test's.
  std::string Finish(QProcess& program, const QString& output) {
    const bool finished = program.waitForFinished(90000);
    if (!finished) {
      program.kill();
      program.waitForFinished();
    }
    const QByteArray errors = program.readAllStandardError();
    std::fwrite(errors.constData(), 1, static_cast<size_t>(errors.size()), stderr);
    if (!finished || program.exitStatus() != QProcess::NormalExit) return "";
    const bool leaked = errors.contains("ERROR: LeakSanitizer");
    leaks_ += leaked;
    if (program.exitCode() != 0 && (!leaked || errors.contains("ERROR: AddressSanitizer"))) return "";
    QFile report(output);
    return report.open(QIODevice::ReadOnly) ? report.readAll().toStdString() : "";
  }

  std::string Run() {
    const QString output = root_.filePath(QStringLiteral("probe.txt"));
    std::unique_ptr<QProcess> program = Start(output);
    return Finish(*program, output);
  }

  QTemporaryDir root_;
  int leaks_ = 0;
};

TEST_F(TwoInstancesTest, TheWindowLockHeldElsewhereGivesUsedByAnotherProcess) {
  {
    UnitLocker held("qvdx_exe", 0);
    ASSERT_TRUE(held.Acquire());
    EXPECT_EQ(Run(), kUsedByAnother);
    held.Release();
  }
  EXPECT_EQ(Run(), kDefaultMachineList);
}

// The framework reader's lock held elsewhere: the program still ends its
// Refresh and lists the readers it could identify, all but the held one.
TEST_F(TwoInstancesTest, TheFrameworkReaderLockHeldElsewhereKeepsTheProgramAlive) {
  const ReaderTypeInfo* hmx04 = FindReaderType(kReaderHmx04);
  ASSERT_NE(hmx04, nullptr);
  UnitLocker held(hmx04->lockStem, 0);
  ASSERT_TRUE(held.Acquire());
  const std::string report = Run();
  held.Release();
  EXPECT_EQ(report,
            "RPX -- HMX06:0\n"
            "R20 -- HMX05:0\n"
            "Parallel -- HMP02:0\n"
            "status: Select a fingerprint device and Click Init button. 2 device(s) found.\n");
  std::string shown = report;
  for (char& c : shown) c = c == '\n' ? ';' : c;
  std::printf("two instances: with the HMX04 framework lock held elsewhere the window showed: %s\n", shown.c_str());
}

TEST_F(TwoInstancesTest, TwoInstancesAtOnceNeitherCrashesNorHangs) {
  constexpr int kRounds = 4;
  int listed = 0;
  int usedByAnother = 0;
  int failed = 0;
  for (int round = 0; round < kRounds; ++round) {
    const QString first = root_.filePath(QStringLiteral("first.txt"));
    const QString second = root_.filePath(QStringLiteral("second.txt"));
    std::unique_ptr<QProcess> a = Start(first);
    std::unique_ptr<QProcess> b = Start(second);
    for (const std::string& report : {Finish(*a, first), Finish(*b, second)}) {
      if (report == kDefaultMachineList) {
        ++listed;
      } else if (report == kUsedByAnother) {
        ++usedByAnother;
      } else {
        ++failed;
        ADD_FAILURE() << "unexpected report: " << report;
      }
    }
  }
  EXPECT_EQ(failed, 0);
  std::printf("two instances: %d rounds, %d runs, %d listed the readers, %d reported \"Used by another "
              "process...\", %d crashed or hung, %d leak reports at exit\n",
              kRounds, 2 * kRounds, listed, usedByAnother, failed, leaks_);
}

}  // namespace
