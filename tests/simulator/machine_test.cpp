#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <set>
#include <thread>

#include "simulator/machine/machine.h"
#include "tests/simulator/temp_root.h"

namespace fs = std::filesystem;

namespace {

void WriteText(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << text;
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

TEST(Machine, DefaultMachineIsCreatedOnFirstUse) {
  TempMachineRoot temp;
  const std::vector<sim::Reader> readers = sim::ListReaders();
  ASSERT_EQ(readers.size(), 4u);
  std::set<std::string> serials;
  for (const sim::Reader& reader : readers) {
    EXPECT_EQ(reader.vendorId, sim::kTolvaneVendorId);
    serials.insert(reader.serial);
  }
  EXPECT_EQ(serials.size(), 4u) << "every default reader has its own serial";

  const std::optional<sim::Reader> r20 = sim::FindReaderByType(6, 0);
  ASSERT_TRUE(r20);
  EXPECT_EQ(r20->Id(), "HMX05-0");
  EXPECT_EQ(r20->productId, 0x2200);
  EXPECT_FALSE(r20->framework);
  EXPECT_EQ(sim::FindReader("HMX06", 0)->productId, 0x2201);
  EXPECT_TRUE(sim::FindReader("hmx04", 0)->framework);
  const std::optional<sim::Reader> parallel = sim::FindReaderByType(1, 0);
  ASSERT_TRUE(parallel);
  EXPECT_EQ(parallel->portAddress, 0x378);
  EXPECT_EQ(parallel->portMode, 3u);
  EXPECT_FALSE(sim::FindReader("HMX05", 1));

  EXPECT_EQ(sim::LoadProfile(), sim::Profile{});
  for (const sim::InstalledFile& file : sim::ListDriverFiles()) {
    EXPECT_TRUE(file.present) << file.driverFile->name;
    if (file.driverFile->kind == sim::DriverFileKind::Kernel) {
      EXPECT_EQ(file.version, file.driverFile->defaultVersion) << file.driverFile->name;
    } else {
      EXPECT_EQ(fs::read_symlink(file.path), sim::ModulesDirectory() / file.driverFile->name);
    }
  }
  EXPECT_TRUE(fs::exists(sim::DriversDirectory(temp.Root()) / "UMDF" / "Qvhmxwudf.dll"));
}

TEST(Machine, InitEmptyDetachesEverythingButKeepsTheDrivers) {
  TempMachineRoot temp;
  sim::PlugForeignDevice({0x046D, 0xC52B});
  sim::InitMachine(true);
  EXPECT_TRUE(sim::ListReaders().empty());
  EXPECT_TRUE(sim::ListForeignDevices().empty());
  EXPECT_TRUE(fs::exists(sim::DriversDirectory(temp.Root()) / "qvhmx05x64.sys"));
}

TEST(Machine, MalformedFilesAreReportedAndSkipped) {
  TempMachineRoot temp;
  sim::EnsureMachine();
  const fs::path bus = sim::BusDirectory(temp.Root());
  WriteText(bus / "HMX05-3.json", "{ not json");
  std::string wrongIndex = nlohmann::json::parse(*sim::ReadWholeFile(bus / "HMX06-0.json")).dump();
  WriteText(bus / "HMX06-4.json", wrongIndex);  // claims index 0 in the file of index 4
  nlohmann::json hugeProduct = nlohmann::json::parse(*sim::ReadWholeFile(bus / "HMX04-0.json"));
  hugeProduct["productId"] = 70000;
  WriteText(bus / "HMX04-0.json", hugeProduct.dump());
  WriteText(sim::ProfilePath(temp.Root()), "[]");
  // Bus files that would never end, stall the reader or fill its memory.
  fs::create_symlink("/dev/zero", bus / "HMX05-1.json");
  ASSERT_EQ(mkfifo((bus / "HMX05-2.json").c_str(), 0644), 0);
  nlohmann::json padded = nlohmann::json::parse(*sim::ReadWholeFile(bus / "HMX05-0.json"));
  padded["index"] = 4;
  WriteText(bus / "HMX05-4.json", padded.dump() + std::string(sim::kMachineJsonFileLimit, ' '));
  // A reader written before touches carried a first parameter and opening a delay is still read.
  nlohmann::json older = nlohmann::json::parse(*sim::ReadWholeFile(bus / "HMX06-0.json"));
  older.erase("touchWParam");
  older.erase("openDelayMs");
  older["index"] = 1;
  WriteText(bus / "HMX06-1.json", older.dump());

  testing::internal::CaptureStderr();
  const std::vector<sim::Reader> readers = sim::ListReaders();
  const sim::Profile profile = sim::LoadProfile();
  const std::string report = testing::internal::GetCapturedStderr();

  ASSERT_EQ(readers.size(), 4u);  // HMX04-0 dropped, the two bad newcomers ignored
  EXPECT_EQ(readers[0].Id(), "HMX05-0");
  EXPECT_EQ(readers[2].Id(), "HMX06-1");
  EXPECT_EQ(readers[2].touchWParam, 1u);
  EXPECT_EQ(readers[2].openDelayMs, 0u);
  EXPECT_EQ(profile, sim::Profile{});
  for (const char* file : {"HMX05-3.json", "HMX06-4.json", "HMX04-0.json", "machine.json", "HMX05-1.json",
                           "HMX05-2.json", "HMX05-4.json"}) {
    EXPECT_NE(report.find((file == std::string("machine.json") ? temp.Root() : bus) / file), std::string::npos)
        << file << " not reported in: " << report;
  }
  EXPECT_FALSE(sim::UpdateReader("HMX04", 0, [](sim::Reader&) { FAIL() << "malformed reader changed"; }));
  EXPECT_FALSE(sim::FindReader("HMX05", 2));  // as the kernel driver asks at Refresh
}

TEST(Machine, ConcurrentUpdatesDoNotLoseChanges) {
  TempMachineRoot temp;
  sim::EnsureMachine();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([] {
      for (int i = 0; i < 20; ++i) ASSERT_TRUE(sim::TouchReader("HMX05", 0));
    });
  }
  for (std::thread& thread : threads) thread.join();
  const sim::Reader reader = *sim::FindReader("HMX05", 0);
  EXPECT_EQ(reader.touches, 80u);
  EXPECT_GT(reader.lastTouchMs, 0);
}

TEST(Machine, ReaderWatchFollowsPlugChangesAndUnplug) {
  TempMachineRoot temp;
  sim::InitMachine(true);
  sim::ReaderWatch watch("HMX05", 2);
  EXPECT_FALSE(watch.Read());

  sim::Reader reader = sim::DefaultReader(*sim::FindReaderModel("HMX05"), 2);
  reader.finger = sim::FingerState::Absent;
  sim::PlugReader(reader);
  ASSERT_TRUE(watch.Read());
  EXPECT_EQ(watch.Read()->finger, sim::FingerState::Absent);

  sim::UpdateReader("HMX05", 2, [](sim::Reader& r) { r.finger = sim::FingerState::Present; });
  EXPECT_EQ(watch.Read()->finger, sim::FingerState::Present);

  EXPECT_TRUE(sim::UnplugReader("HMX05", 2));
  EXPECT_FALSE(watch.Read());
  EXPECT_FALSE(sim::UnplugReader("HMX05", 2));
}

// What a driver module sees of the faults: each call counted once against
// each fault, firing as set.
TEST(Machine, FaultsFireAsSetAndAreCountedOncePerCall) {
  using sim::FaultCall;
  TempMachineRoot temp;
  sim::EnsureMachine();
  sim::FaultWatch watch("HMX05", 0);
  auto call = [&](FaultCall on) {
    uint64_t counted = 0;
    return watch.Count(on, counted);
  };
  ASSERT_TRUE(sim::SetFault("HMX05", 0, {FaultCall::Open, 55}));
  ASSERT_TRUE(sim::SetFault("HMX05", 0, {FaultCall::ImageEx, 57, false, 3}));
  ASSERT_TRUE(sim::SetFault("HMX05", 0, {FaultCall::Control, 2, false, 1}));
  EXPECT_EQ(call(FaultCall::Open), 55u);
  EXPECT_EQ(call(FaultCall::Open), std::nullopt) << "once is gone after one call";
  std::vector<std::optional<uint32_t>> imageEx;
  for (int i = 0; i < 6; ++i) imageEx.push_back(call(FaultCall::ImageEx));
  EXPECT_EQ(imageEx, (std::vector<std::optional<uint32_t>>{{}, {}, 57u, {}, {}, 57u}));
  EXPECT_EQ(call(FaultCall::Control), 2u);
  EXPECT_EQ(call(FaultCall::Control), 2u);
  EXPECT_EQ(call(FaultCall::Info), std::nullopt);
  const std::vector<sim::Fault> left = sim::ListFaults("HMX05", 0).faults;
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].calls, 6u);

  // A call that runs on sees a fault set meanwhile, once.
  uint64_t running = 0;
  EXPECT_EQ(watch.Count(FaultCall::Image, running), std::nullopt);
  ASSERT_TRUE(sim::SetFault("HMX05", 0, {FaultCall::Image, 54, false, 1}));
  EXPECT_EQ(watch.Count(FaultCall::Image, running), 54u);
  EXPECT_EQ(watch.Count(FaultCall::Image, running), std::nullopt);
  EXPECT_EQ(call(FaultCall::Image), 54u);

  // A malformed file fails no call; the faults go with the reader.
  WriteText(sim::FaultsPath(temp.Root(), "HMX05", 0), "{\"nextId\": 2, \"faults\": [{\"call\": \"open\"}]}");
  testing::internal::CaptureStderr();
  EXPECT_EQ(call(FaultCall::Open), std::nullopt);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("HMX05-0.json"), std::string::npos);
  EXPECT_TRUE(sim::ListFaults("HMX05", 0).problem);
  ASSERT_TRUE(sim::UnplugReader("HMX05", 0));
  EXPECT_FALSE(fs::exists(sim::FaultsPath(temp.Root(), "HMX05", 0)));
  EXPECT_FALSE(sim::SetFault("HMX05", 0, {FaultCall::Open, 55}));
}

TEST(Machine, ReaderIdsAndForeignIdsParse) {
  EXPECT_EQ(sim::ParseReaderId("hmx05-7")->name, "HMX05");
  EXPECT_EQ(sim::ParseReaderId("OMREL-9")->index, 9u);
  EXPECT_EQ(sim::ParseReaderId("Parallel")->name, "parallel");
  for (const char* bad : {"HMX05", "HMX05-10", "HMX05-", "HMX02-0", "parallel-0", "-1", ""}) {
    EXPECT_FALSE(sim::ParseReaderId(bad)) << bad;
  }
  EXPECT_EQ(sim::ParseForeignId("046d:C52B"), (sim::ForeignDevice{0x046D, 0xC52B}));
  for (const char* bad : {"046d", "12345:1", "g:1", "1:", ":1"}) EXPECT_FALSE(sim::ParseForeignId(bad)) << bad;
}

TEST(VersionBlock, VersionsParseOnlyInFullForm) {
  EXPECT_EQ(sim::FileVersionNumber::Parse("1.0.2.9"), (sim::FileVersionNumber{1, 0, 2, 9}));
  EXPECT_EQ(sim::FileVersionNumber::Parse("65535.0.0.1")->major, 65535);
  for (const char* bad : {"1.0.2", "1.0.2.9.1", "1.0.2.65536", "1..2.3", "a.b.c.d", "1.0.2.9 "}) {
    EXPECT_FALSE(sim::FileVersionNumber::Parse(bad)) << bad;
  }
}

TEST(VersionBlock, PatchedVersionIsReadBack) {
  TempMachineRoot temp;
  std::string bytes = *sim::ReadWholeFile(SIM_PROBE_SYSTEM_MODULE);
  ASSERT_TRUE(sim::PatchFileVersion(bytes, {1, 0, 2, 9}));
  const fs::path copy = temp.Folder() / "patched.dll";
  sim::WriteFileAtomically(copy, bytes);
  EXPECT_EQ(sim::ReadFileVersion(copy), (sim::FileVersionNumber{1, 0, 2, 9}));
  EXPECT_EQ(sim::ReadFileVersion(SIM_PROBE_SYSTEM_MODULE), (sim::FileVersionNumber{1, 0, 3, 0}));

  std::string plain = "no block in here";
  EXPECT_FALSE(sim::PatchFileVersion(plain, {1, 0, 0, 0}));
  WriteText(temp.Folder() / "plain.txt", plain);
  EXPECT_FALSE(sim::ReadFileVersion(temp.Folder() / "plain.txt"));
}

// The search reads a bounded part of a file in windows: a block across two
// windows is found, one beyond the bound is not, whatever lies before it.
TEST(VersionBlock, OnlyTheFilesFirstPartIsSearched) {
  TempMachineRoot temp;
  std::string block = *sim::ReadWholeFile(SIM_PROBE_SYSTEM_MODULE);
  block = block.substr(*sim::FindFixedFileInfo(block), sizeof(VS_FIXEDFILEINFO));
  const struct {
    uint64_t at;
    bool found;
  } cases[] = {
      {sim::kVersionWindowBytes - 20, true},
      {sim::kVersionSearchBytes - sizeof(VS_FIXEDFILEINFO), true},
      {sim::kVersionSearchBytes - 20, false},
      {uint64_t{6} << 30, false},
  };
  for (const auto& [at, found] : cases) {
    SCOPED_TRACE(at);
    const fs::path file = temp.Folder() / "sparse.sys";
    fs::remove(file);
    std::ofstream(file, std::ios::binary).seekp(static_cast<std::streamoff>(at)) << block;
    EXPECT_EQ(sim::ReadFileVersion(file).has_value(), found);
  }
}

TEST(DriverFiles, InstallAndRemoveByNameInAnyCase) {
  TempMachineRoot temp;
  sim::InstallDriverFile("QVHMX05X64.SYS", sim::FileVersionNumber{1, 0, 3, 0});
  EXPECT_EQ(sim::ReadFileVersion(sim::DriversDirectory(temp.Root()) / "qvhmx05x64.sys"),
            (sim::FileVersionNumber{1, 0, 3, 0}));
  sim::RemoveDriverFile("Omrel.dll");
  EXPECT_FALSE(fs::is_symlink(sim::SystemDirectory(temp.Root()) / "Omrel.dll"));
  EXPECT_THROW(sim::RemoveDriverFile("Omrel.dll"), sim::MachineError);
  EXPECT_THROW(sim::InstallDriverFile("evil/../../x.sys"), sim::MachineError);
}

// The versioned copy fails partway, in a child whose files may not grow past
// 4 KiB (or, where the modules are not built, for want of the module).
TEST(DriverFiles, AFailedVersionedInstallKeepsTheInstalledModule) {
  TempMachineRoot temp;
  sim::EnsureMachine();
  const fs::path installed = sim::SystemDirectory(temp.Root()) / "Qvhmx05m.dll";
  ASSERT_TRUE(fs::is_symlink(installed));
  const std::set<std::string> before = Names(installed.parent_path());
  const pid_t child = ::fork();
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);  // an overlong write then fails instead of killing
    const rlimit files{4096, 4096};
    if (::setrlimit(RLIMIT_FSIZE, &files) != 0) ::_exit(2);
    try {
      sim::InstallDriverFile("Qvhmx05m.dll", sim::FileVersionNumber{1, 0, 2, 9});
    } catch (const sim::MachineError&) {
      ::_exit(0);
    }
    ::_exit(1);
  }
  int status = -1;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the install did not fail: " << status;
  EXPECT_TRUE(fs::is_symlink(installed));
  EXPECT_EQ(Names(installed.parent_path()), before) << "a temporary copy was left behind";
}

}  // namespace
