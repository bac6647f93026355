// Every tolvane-sim command, run in process against a test machine, and the
// built program once as a subprocess.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>

#include "simulator/machine/machine.h"
#include "simulator/tool/tool.h"
#include "tests/simulator/temp_root.h"

namespace fs = std::filesystem;

namespace {

struct Result {
  int status;
  std::string out, err;
};

Result RunCommand(std::vector<std::string> arguments) {
  std::ostringstream out, err;
  const int status = sim::RunTool(arguments, out, err);
  return {status, out.str(), err.str()};
}

// A command that must succeed silently on stderr.
void Ok(std::vector<std::string> arguments) {
  const Result result = RunCommand(arguments);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
}

// A command that must fail with one line naming `what` (with `exitCode` when
// given). Command lines that cannot be used are in tool_arguments_test.cpp.
void Fails(std::vector<std::string> arguments, const std::string& what, int exitCode = 0) {
  const Result result = RunCommand(arguments);
  if (exitCode != 0) {
    EXPECT_EQ(result.status, exitCode) << what;
  } else {
    EXPECT_NE(result.status, 0) << what;
  }
  EXPECT_NE(result.err.find(what), std::string::npos) << result.err;
  EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
}

TEST(Tool, InitAndStatus) {
  TempMachineRoot temp;
  Ok({"init", "--empty"});
  EXPECT_TRUE(sim::ListReaders().empty());
  Ok({"init"});
  const Result status = RunCommand({"status"});
  ASSERT_EQ(status.status, 0);
  for (const char* expected : {"Windows 10.0", "qvhmx05x64.sys  1.0.4.0", "HMX05-0", "2F3D:2200",
                               "HMX04-0", "via framework", "parallel", "port 0x378 mode 3"}) {
    EXPECT_NE(status.out.find(expected), std::string::npos) << expected << " in\n" << status.out;
  }
}

TEST(Tool, RootOptionChoosesTheMachine) {
  TempMachineRoot temp;
  const fs::path other = temp.Folder() / "other";
  Ok({"--root", other.string(), "init", "--empty"});
  EXPECT_TRUE(fs::exists(other / "machine.json"));
  EXPECT_TRUE(sim::ListReaders().empty()) << "the option also applies to later calls in this process";
}

TEST(Tool, PlugAndUnplugReadersAndForeignDevices) {
  TempMachineRoot temp;
  Ok({"init", "--empty"});
  Ok({"plug", "HMX05-1", "--product", "2001", "--release", "0x0FFF", "--serial", "ABC123",
      "--framework", "--finger", "absent", "--latency", "40"});
  const sim::Reader reader = *sim::FindReader("HMX05", 1);
  EXPECT_EQ(reader.productId, 0x2001);
  EXPECT_EQ(reader.release, 0x0FFF);
  EXPECT_EQ(reader.serial, "ABC123");
  EXPECT_TRUE(reader.framework);
  EXPECT_EQ(reader.finger, sim::FingerState::Absent);
  EXPECT_EQ(reader.latencyMs, 40u);
  Fails({"plug", "HMX05-1"}, "already attached");
  Ok({"plug", "HMX06-1", "--serial", "", "--open-delay", "250"});
  EXPECT_EQ(sim::FindReader("HMX06", 1)->serial, "");
  EXPECT_EQ(sim::FindReader("HMX06", 1)->openDelayMs, 250u);
  Ok({"plug", "HMX06-2"});
  EXPECT_EQ(sim::FindReader("HMX06", 2)->serial, "TVHMX06N2") << "no --serial keeps the default";

  Ok({"plug", "parallel", "--port", "278", "--mode", "1"});
  EXPECT_EQ(sim::FindReaderByType(1, 0)->portAddress, 0x278);
  Fails({"plug", "QVUSB-0", "--serial", "has space"}, "serial");

  Ok({"plug-foreign", "046D:C52B"});
  EXPECT_EQ(sim::ListForeignDevices().size(), 1u);
  Fails({"plug-foreign", "2F3D:2200"}, "Tolvane");
  Ok({"unplug", "046d:c52b"});
  Ok({"unplug", "HMX05-1"});
  Ok({"unplug", "HMX06-1"});
  Ok({"unplug", "HMX06-2"});
  Ok({"unplug", "parallel"});
  EXPECT_TRUE(sim::ListReaders().empty());
  EXPECT_TRUE(sim::ListForeignDevices().empty());
  Fails({"unplug", "HMX05-1"}, "not attached");
}

TEST(Tool, TouchFingerAndConfigureChangeOneReader) {
  TempMachineRoot temp;
  Ok({"touch", "HMX05-0", "--wparam", "0x10001"});
  EXPECT_EQ(sim::FindReader("HMX05", 0)->touchWParam, 0x10001u);
  Ok({"touch", "HMX05-0"});
  EXPECT_EQ(sim::FindReader("HMX05", 0)->touchWParam, 1u) << "a touch without --wparam reports a finger";
  Ok({"finger", "HMX06-0", "present"});
  Ok({"configure", "HMX05-0", "--mode", "2", "--brightness", "120", "--smart", "off", "--status", "5"});
  const sim::Reader r20 = *sim::FindReader("HMX05", 0);
  EXPECT_EQ(r20.touches, 2u);
  EXPECT_EQ(r20.configure, (sim::ConfigureSettings{2, 120, false, 5}));
  EXPECT_EQ(sim::FindReader("HMX06", 0)->finger, sim::FingerState::Present);
  EXPECT_EQ(sim::FindReader("HMX06", 0)->touches, 0u);

  Ok({"configure", "HMX05-0", "--brightness", "90"});
  EXPECT_EQ(sim::FindReader("HMX05", 0)->configure, (sim::ConfigureSettings{2, 90, false, 5}))
      << "settings not given are kept";
  Fails({"touch", "HMX05-5"}, "not attached");
}

TEST(Tool, FaultsAreSetListedAndCleared) {
  TempMachineRoot temp;
  Ok({"fault", "HMX05-0", "--call", "image-ex", "--status", "57", "--every", "3"});
  Ok({"fault", "HMX05-0", "--call", "info", "--status", "0x37"});
  Ok({"fault", "HMX05-0", "--call", "open", "--status", "2", "--always"});
  Ok({"fault", "HMX05-0", "--call", "open", "--status", "53", "--once"});  // replaces the first
  const sim::ReaderFaults set = sim::ListFaults("HMX05", 0);
  ASSERT_EQ(set.faults.size(), 3u);
  EXPECT_EQ(set.faults[0], (sim::Fault{sim::FaultCall::ImageEx, 57, false, 3, 0, 1}));
  EXPECT_EQ(set.faults[1], (sim::Fault{sim::FaultCall::Info, 55, true, 1, 0, 2}));
  EXPECT_EQ(set.faults[2], (sim::Fault{sim::FaultCall::Open, 53, true, 1, 0, 4}));
  const std::string status = RunCommand({"status"}).out;
  for (const char* line : {"fault: image-ex answers 57, every 3rd call, 0 calls so far",
                           "fault: info answers 55, once", "fault: open answers 53, once"}) {
    EXPECT_NE(status.find(line), std::string::npos) << line << " in\n" << status;
  }

  Fails({"fault", "HMX05-4", "--call", "open", "--status", "2"}, "HMX05-4 is not attached", 1);
  EXPECT_EQ(sim::ListFaults("HMX05", 0).faults.size(), 3u) << "refusals change nothing";

  Ok({"fault", "HMX05-0", "--clear"});
  EXPECT_TRUE(sim::ListFaults("HMX05", 0).faults.empty());

  // A malformed file is shown, kept out of new faults, and cleared whole.
  sim::WriteFileAtomically(sim::FaultsPath(temp.Root(), "HMX06", 0), "{\"nextId\": 1, \"faults\": 7}");
  EXPECT_NE(RunCommand({"status"}).out.find("faults: ignored, the file is malformed"), std::string::npos);
  Fails({"fault", "HMX06-0", "--call", "open", "--status", "2"}, "--clear", 1);
  Ok({"fault", "HMX06-0", "--clear"});
  Ok({"fault", "HMX06-0", "--call", "open", "--status", "2"});
}

// The test stands for a program with two windows: it answers a suspend only
// when the test lets it, and a resume at once.
TEST(Tool, SuspendAndResumeTellEveryProgramAndWaitForTheSuspendAnswer) {
  TempMachineRoot temp;
  Ok({"init"});
  EXPECT_EQ(RunCommand({"suspend"}).out, "0 windows received the suspend notice\n");

  std::mutex lock;
  std::vector<sim::PowerNotice> notices;
  std::shared_ptr<sim::PowerNoticeReply> pending;
  sim::PowerNoticeListener program([&](sim::PowerNotice notice, std::shared_ptr<sim::PowerNoticeReply> reply) {
    std::lock_guard guard(lock);
    notices.push_back(notice);
    reply->Received(2);
    if (notice == sim::PowerNotice::Suspend) pending = std::move(reply);
  });
  // A socket left by a program that ended is passed over and removed.
  const fs::path stale = sim::PowerDirectory(temp.Root()) / "999999999.sock";
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(stale.string().size(), sizeof address.sun_path);
  std::strcpy(address.sun_path, stale.c_str());
  const int ended = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_EQ(bind(ended, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  close(ended);

  std::future<Result> suspend = std::async(std::launch::async, [] { return RunCommand({"suspend"}); });
  EXPECT_EQ(suspend.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout)
      << "suspend returns only once the program answered";
  {
    std::lock_guard guard(lock);
    ASSERT_TRUE(pending);
    pending->Answered();
  }
  EXPECT_EQ(suspend.get().out, "2 windows received the suspend notice\n");
  EXPECT_EQ(RunCommand({"resume"}).out, "2 windows received the resume notice\n");
  EXPECT_EQ(notices, (std::vector<sim::PowerNotice>{sim::PowerNotice::Suspend, sim::PowerNotice::Resume}));
  EXPECT_FALSE(fs::exists(stale));
}

TEST(Tool, DriverInstallAndRemove) {
  TempMachineRoot temp;
  Ok({"driver", "install", "Qvhmx05d.sys", "--version", "1.0.2.9"});
  EXPECT_EQ(sim::ReadFileVersion(sim::DriversDirectory(temp.Root()) / "Qvhmx05d.sys"),
            (sim::FileVersionNumber{1, 0, 2, 9}));
  Ok({"driver", "remove", "qvhmx05d.sys"});
  EXPECT_FALSE(fs::exists(sim::DriversDirectory(temp.Root()) / "Qvhmx05d.sys"));
  Fails({"driver", "remove", "Qvhmx05d.sys"}, "not installed");
  Fails({"driver", "install", "Other.dll"}, "unknown driver file");
}

TEST(Tool, OsChangesTheProfile) {
  TempMachineRoot temp;
  Ok({"os", "--version", "6.0", "--platform-id", "1", "--64bit", "off", "--remote", "on", "--framework", "off"});
  const sim::Profile profile = sim::LoadProfile();
  EXPECT_EQ(profile.major, 6u);
  EXPECT_EQ(profile.minor, 0u);
  EXPECT_EQ(profile.platformId, 1u);
  EXPECT_FALSE(profile.is64Bit);
  EXPECT_TRUE(profile.remoteSession);
  EXPECT_FALSE(profile.frameworkPresent);
}

TEST(Tool, ScdCopiesTheLastCaptureDetailRecord) {
  TempMachineRoot temp;
  const fs::path output = temp.Folder() / "out.scd";
  Fails({"scd", "HMX05-0", output.string()}, "no capture-detail record");
  const fs::path record = sim::CaptureDetailPath(*sim::FindReader("HMX05", 0));
  sim::WriteFileAtomically(record, std::string("\x70\x00\x00\x00record", 10));
  Ok({"scd", "HMX05-0", output.string()});
  EXPECT_EQ(sim::ReadWholeFile(output), sim::ReadWholeFile(record));
}

TEST(Tool, HelpListsTheCommands) {
  TempMachineRoot temp;
  const Result help = RunCommand({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* command : {"plug-foreign", "fault", "suspend", "resume", "touch"}) {
    EXPECT_NE(help.out.find(command), std::string::npos) << command;
  }
}

TEST(Tool, ProgramReportsVersionAndExitStatus) {
  TempMachineRoot temp;
  auto run = [](const std::string& command, std::string& output) {
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[256];
    output.clear();
    while (fgets(buffer, sizeof buffer, pipe)) output += buffer;
    return WEXITSTATUS(pclose(pipe));
  };
  std::string output;
  EXPECT_EQ(run(std::string(TOLVANE_SIM_TOOL) + " --version", output), 0);
  EXPECT_EQ(output, "tolvane-sim " PROJECT_VERSION "\n");
  EXPECT_EQ(run(std::string(TOLVANE_SIM_TOOL) + " unplug HMX05-9 2>&1", output), 1);
  EXPECT_EQ(output, "tolvane-sim: HMX05-9 is not attached\n");
}

}  // namespace

namespace {

// A machine made by another build: its module links point into that build's
// module folder, whose files would not load here, or into one that is gone.
TEST(Tool, StatusFlagsLinksToAnotherBuildAndToNothingAndThisBuildLoadsItsOwn) {
  TempMachineRoot temp;
  Ok({"init"});
  const fs::path other = temp.Folder() / "other-build" / "lib" / "tolvane-modules";
  fs::create_directories(other);
  std::ofstream(other / "Omrel.dll") << "a module this program cannot load";
  const fs::path system = sim::SystemDirectory(temp.Root());
  fs::remove(system / "Omrel.dll");
  fs::create_symlink(other / "Omrel.dll", system / "Omrel.dll");
  fs::remove(system / "Dacro.dll");
  fs::create_symlink(temp.Folder() / "gone" / "tolvane-modules" / "Dacro.dll", system / "Dacro.dll");

  const Result status = RunCommand({"status"});
  for (const char* expected : {"Omrel.dll  2.1.0.7  -> ", "(another build's module: this build loads its own)",
                               "Dacro.dll  2.0.1.3  -> ", "(link to nothing: this build loads its own)"}) {
    EXPECT_NE(status.out.find(expected), std::string::npos) << expected << " in\n" << status.out;
  }
  EXPECT_EQ(sim::ModuleToLoad(system / "Omrel.dll"), sim::ModulesDirectory() / "Omrel.dll");
  EXPECT_EQ(sim::ModuleToLoad(system / "Dacro.dll"), sim::ModulesDirectory() / "Dacro.dll");
  EXPECT_EQ(sim::ModuleToLoad(system / "Qvhmx05m.dll"), sim::ModulesDirectory() / "Qvhmx05m.dll");
}

}  // namespace
