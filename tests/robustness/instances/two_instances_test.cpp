// Two program instances against one machine. They contend for the window's
// lock "qvdx_exeUNITLOCKER0" and for the framework reader's lock; neither may
// crash or hang, and the one that does not get the window's lock says
// "Used by another process...". The contention is forced: by holding a lock
// from this process, or by holding one instance inside its Refresh while the
// other starts. A test-only generic plugin reports what each window shows.
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
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

// Whether another process holds the window's lock now. A free lock is taken
// and given back at once: the program's own wait for it is far longer.
bool WindowLockHeldElsewhere() {
  Mutex probe("qvdx_exeUNITLOCKER0", FALSE, nullptr);
  if (!probe.Acquire(0)) return true;
  probe.Release();
  return false;
}

// The first instance is held inside its Refresh, with the window's lock, by a
// parallel reader that takes long to open; the second starts only once the
// first holds the lock, and must say so and end while the first still holds
// it. The first then lists the machine.
TEST_F(TwoInstancesTest, TwoInstancesAtOnceNeitherCrashesNorHangs) {
  constexpr uint32_t kFirstHeldMs = 30000;  // far beyond a second instance's start and Refresh
  ASSERT_TRUE(sim::UpdateReader("parallel", 0, [](sim::Reader& reader) { reader.openDelayMs = kFirstHeldMs; }));
  const QString first = root_.filePath(QStringLiteral("first.txt"));
  const QString second = root_.filePath(QStringLiteral("second.txt"));
  std::unique_ptr<QProcess> a = Start(first);
  QElapsedTimer waited;
  waited.start();
  while (!WindowLockHeldElsewhere() && waited.elapsed() < 20000) QThread::msleep(10);
  ASSERT_TRUE(WindowLockHeldElsewhere()) << "the first instance never held the window's lock";

  std::unique_ptr<QProcess> b = Start(second);
  const std::string secondReport = Finish(*b, second);
  const bool firstHeldThroughout = WindowLockHeldElsewhere();
  const std::string firstReport = Finish(*a, first);
  EXPECT_TRUE(firstHeldThroughout) << "the second instance ended after the first let the lock go";
  EXPECT_EQ(secondReport, kUsedByAnother);
  EXPECT_EQ(firstReport, kDefaultMachineList);
  std::printf("two instances: the second started while the first held the window's lock and reported "
              "\"%s\"; the first listed %s, %d leak reports at exit\n",
              secondReport == kUsedByAnother ? "Used by another process..." : "something else",
              firstReport == kDefaultMachineList ? "the readers" : "something else", leaks_);
}

}  // namespace
