// The built driver module libraries, loaded exactly as the utility loads them
// (by file name, through the machine's System32) and driven through the sensor
// interface alone, on a temporary machine per test.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <future>
#include <sstream>
#include <thread>
#include <vector>

#include "device/file_version.h"
#include "device/records.h"
#include "device/winbio_api.h"
#include "platform/win32.h"
#include "simulator/tool/tool.h"
#include "tests/simulator_modules/fingerprint_checks.h"
#include "tests/simulator_modules/libraries/module_library.h"

namespace {

using namespace module_library;
using namespace std::chrono_literals;

// The fixed file-info block of a file, as the utility reads it.
std::optional<sim::FileVersionNumber> VersionThroughPlatform(const char* file) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(file, &handle);
  if (size == 0) return std::nullopt;
  std::vector<uint8_t> data(size);
  if (!GetFileVersionInfoA(file, handle, size, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<LPVOID*>(&info), &length)) return std::nullopt;
  if (length != sizeof(VS_FIXEDFILEINFO) || info->dwSignature != VS_FFI_SIGNATURE) return std::nullopt;
  return sim::FileVersionNumber{static_cast<uint16_t>(info->dwFileVersionMS >> 16),
                                static_cast<uint16_t>(info->dwFileVersionMS & 0xFFFF),
                                static_cast<uint16_t>(info->dwFileVersionLS >> 16),
                                static_cast<uint16_t>(info->dwFileVersionLS & 0xFFFF)};
}

TEST_F(ModuleLibraryTest, DefaultMachineReadersOpenByIndexIncludingTheFrameworkServedOne) {
  UseMachine(/*empty=*/false);
  LoadedSensor r20("Qvhmx05m.dll", 6);
  ASSERT_TRUE(r20.Loaded());
  EXPECT_EQ(r20->OpenDevice(1, 0), kStatusDeviceNotFound);
  EXPECT_EQ(r20->OpenDevice(0, 0), 0u);

  // The framework serves the HMX04, yet its module reaches the reader directly.
  LoadedSensor hmx04("Qvhmx04m.dll", 5);
  ASSERT_TRUE(hmx04.Loaded());
  EXPECT_EQ(hmx04->OpenDevice(0, 0), 0u);

  // The parallel port carries one reader only.
  LoadedSensor parallel("Dacro.dll", 1);
  ASSERT_TRUE(parallel.Loaded());
  EXPECT_EQ(parallel->OpenDevice(1, 0), kStatusDeviceNotFound);
}

TEST_F(ModuleLibraryTest, EveryModuleReportsItsModelsImageSize) {
  struct Expected {
    const char* bus;
    uint32_t index;
    int32_t width, height;
  };
  const std::map<uint32_t, Expected> expected = {
      {1, {"parallel", 0, 240, 320}}, {3, {"OMREL", 2, 258, 336}}, {4, {"QVUSB", 0, 260, 300}},
      {5, {"HMX04", 1, 280, 360}},    {6, {"HMX05", 0, 300, 400}}, {7, {"HMX06", 9, 272, 352}}};
  UseMachine(/*empty=*/true);
  for (const auto& [type, reader] : expected) Plug(reader.bus, reader.index);

  for (const BuiltModule& built : kBuiltModules) {
    SCOPED_TRACE(built.file);
    const Expected& reader = expected.at(built.type);
    LoadedSensor sensor(built.file, built.type);
    ASSERT_TRUE(sensor.Loaded());
    ASSERT_EQ(sensor->OpenDevice(reader.index, 0), 0u);
    DeviceInfo info{};
    ASSERT_EQ(sensor->GetDeviceInfo(&info), 0u);
    EXPECT_EQ(info.width, reader.width);
    EXPECT_EQ(info.height, reader.height);
    EXPECT_EQ(info.brightness, 50);
    if (built.type == 1) {
      EXPECT_EQ(info.portAddress, 0x378);
      EXPECT_EQ(info.portMode, 3);
    }
    std::vector<uint8_t> image(static_cast<size_t>(reader.width) * reader.height);
    EXPECT_EQ(sensor->GetImage(image.data()), 0u);
    fingerprint_checks::ExpectFingerprintLike(image, reader.width, reader.height);
  }
}

// The framework stand-in as the device layer loads it: a unit for every reader
// the framework serves, and none for the readers of the direct channel.
TEST_F(ModuleLibraryTest, TheFrameworkListsAUnitForEachReaderItServes) {
  UseMachine(/*empty=*/false);
  sim::Reader second = sim::DefaultReader(*sim::FindReaderModel("HMX05"), 3);
  second.framework = true;
  sim::PlugReader(second);
  ASSERT_TRUE(WinBioApi::Load());
  {
    const FingerprintUnitList units;
    ASSERT_EQ(units.Count(), 2u);
    EXPECT_TRUE(IsMakerUnit(units.begin()[0], FrameworkModelPattern(kReaderHmx04)));
    EXPECT_TRUE(IsMakerUnit(units.begin()[1], FrameworkModelPattern(kReaderHmx05)));
  }
  ASSERT_TRUE(sim::UnplugReader("HMX04", 0));
  EXPECT_EQ(FingerprintUnitList().Count(), 1u);
  WinBioApi::Unload();
}

TEST_F(ModuleLibraryTest, TheParallelModuleReportsThePortTheMachineSetUp) {
  UseMachine(/*empty=*/true);
  sim::Reader reader = sim::DefaultReader(*sim::FindReaderModel("parallel"), 0);
  reader.portAddress = 0x278;
  reader.portMode = 2;
  sim::PlugReader(reader);
  LoadedSensor sensor("Dacro.dll", 1);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  DeviceInfo info{};
  ASSERT_EQ(sensor->GetDeviceInfo(&info), 0u);
  EXPECT_EQ(info.portAddress, 0x278);
  EXPECT_EQ(info.portMode, 2);
}

TEST_F(ModuleLibraryTest, ConfigureAppliesWhatTheMachinesDialogHolds) {
  UseMachine(/*empty=*/false);
  LoadedSensor sensor("Qvhmx06m.dll", 7);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  ASSERT_TRUE(sim::UpdateReader("HMX06", 0, [](sim::Reader& reader) {
    reader.configure.mode = 1;
    reader.configure.brightness = 70;
    reader.configure.smart = true;
    reader.configure.status = 14;
  }));

  EXPECT_EQ(sensor->Configure(nullptr), 14u);
  EXPECT_EQ(sensor->GetOption(kOptionCaptureMode) & 0xFF, 1u);
  DeviceInfo info{};
  ASSERT_EQ(sensor->GetDeviceInfo(&info), 0u);
  EXPECT_EQ(info.brightness, 70);
  uint8_t smart = 0;
  ASSERT_EQ(sensor->Control(kControlRead | kControlSmartCapture, &smart), 0u);
  EXPECT_EQ(smart, 1);
}

int32_t SENSORAPI CountFrames(void* frames, const CaptureEvent* event) {
  ++*static_cast<std::atomic<int>*>(frames);
  return static_cast<int32_t>(event->status);
}

// The faults and the open delay set with the tool reach the module's calls.
TEST_F(ModuleLibraryTest, TheMachinesFaultsAnswerTheModulesCallsAndOpeningTakesItsDelay) {
  UseMachine(/*empty=*/false);
  auto tool = [](std::vector<std::string> arguments) {
    std::ostringstream out, err;
    const int status = sim::RunTool(arguments, out, err);
    EXPECT_EQ(status, 0) << err.str();
  };
  tool({"unplug", "HMX06-0"});
  tool({"plug", "HMX06-0", "--open-delay", "300"});
  tool({"fault", "HMX06-0", "--call", "open", "--status", "52"});
  LoadedSensor sensor("Qvhmx06m.dll", 7);
  ASSERT_TRUE(sensor.Loaded());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(sensor->OpenDevice(0, 0), 52u);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u) << "the fault was for one call";

  std::vector<uint8_t> image(272 * 352);
  DeviceInfo info{};
  uint8_t byte = 0;
  const struct {
    const char* call;
    std::function<uint32_t()> run;
  } calls[] = {
      {"info", [&] { return sensor->GetDeviceInfo(&info); }},
      {"image", [&] { return sensor->GetImage(image.data()); }},
      {"image-ex", [&] { return sensor->GetImageEx(image.data(), 65535, nullptr, nullptr, 100); }},
      {"control", [&] { return sensor->Control(kControlGetGainMax, &byte); }},
      {"configure", [&] { return sensor->Configure(nullptr); }},
  };
  for (const auto& call : calls) {
    SCOPED_TRACE(call.call);
    tool({"fault", "HMX06-0", "--call", call.call, "--status", "57", "--every", "2"});
    EXPECT_EQ(call.run(), 0u);
    EXPECT_EQ(call.run(), 57u);
    EXPECT_EQ(call.run(), 0u);
  }

  // A fault set while a long live capture runs ends it at the next frame.
  tool({"fault", "HMX06-0", "--clear"});
  std::atomic<int> frames{0};
  ASSERT_EQ(sensor->SetImageCallback(1, CountFrames, &frames), 0u);
  std::future<uint32_t> live = std::async(std::launch::async, [&] {
    return sensor->GetImageEx(image.data(), 65535, nullptr, nullptr, 0);
  });
  const auto deadline = std::chrono::steady_clock::now() + 3s;
  while (frames < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(5ms);
  ASSERT_GE(frames, 2);
  tool({"fault", "HMX06-0", "--call", "image-ex", "--status", "57"});
  ASSERT_EQ(live.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(live.get(), 57u);
  EXPECT_TRUE(sim::ListFaults("HMX06", 0).faults.empty());
}

TEST_F(ModuleLibraryTest, DeletingTheConfigurationFileRemovesItFromTheMachineOnce) {
  UseMachine(/*empty=*/false);
  LoadedSensor sensor("Qvhmx05m.dll", 6);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);

  uint32_t answer = 1;
  ASSERT_EQ(sensor->Control(kControlDeleteConfigFile, &answer), 0u);
  EXPECT_EQ(answer, 0u);
  EXPECT_FALSE(sim::FindReader("HMX05", 0)->configFilePresent);
  answer = 1;
  sensor->Control(kControlDeleteConfigFile, &answer);
  EXPECT_EQ(answer, 1u);
}

TEST_F(ModuleLibraryTest, UnpluggingDuringACaptureEndsItAndTheReaderStaysGone) {
  UseMachine(/*empty=*/false);
  ASSERT_TRUE(sim::UpdateReader("HMX05", 0, [](sim::Reader& r) { r.finger = sim::FingerState::Absent; }));
  LoadedSensor sensor("Qvhmx05m.dll", 6);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);

  std::vector<uint8_t> image(300 * 400);
  std::future<uint32_t> capture =
      std::async(std::launch::async, [&] { return sensor->GetImage(image.data()); });
  std::this_thread::sleep_for(50ms);
  ASSERT_TRUE(sim::UnplugReader("HMX05", 0));
  // Well before GetImage's own five seconds without a finger.
  ASSERT_EQ(capture.wait_for(2s), std::future_status::ready);
  EXPECT_EQ(capture.get(), kStatusLineDropped);

  // Plugged in again, it is a new device: the old session does not come back.
  Plug("HMX05", 0);
  EXPECT_EQ(sensor->GetImage(image.data()), kStatusLineDropped);
}

TEST_F(ModuleLibraryTest, EachBuiltModuleCarriesItsVersionBlock) {
  UseMachine(/*empty=*/false);
  for (const BuiltModule& built : kBuiltModules) {
    SCOPED_TRACE(built.file);
    EXPECT_EQ(VersionThroughPlatform(built.file), built.version);
    // The device layer's own reading: one byte per part.
    const sim::FileVersionNumber& v = built.version;
    EXPECT_EQ(FileVersion(built.file), uint32_t{v.major} << 24 | v.minor << 16 | (v.build & 0xFF) << 8 | (v.revision & 0xFF));
    const std::string path = (sim::ModulesDirectory() / built.file).string();
    EXPECT_EQ(VersionThroughPlatform(path.c_str()), built.version);
  }
  // The window's smart-capture set-up needs this module at 1.0.4.0 or later.
  const auto r20 = VersionThroughPlatform("Qvhmx05m.dll");
  ASSERT_TRUE(r20);
  EXPECT_GE(r20->Ms(), 0x00010000u);
  EXPECT_TRUE(r20->Ms() > 0x00010000u || r20->Ls() >= 0x00040000u);
}

TEST_F(ModuleLibraryTest, AModuleInstalledWithAnotherVersionReportsItAndStillWorks) {
  UseMachine(/*empty=*/false);
  std::ostringstream out, err;
  ASSERT_EQ(sim::RunTool({"driver", "install", "Qvhmx05m.dll", "--version", "1.0.2.9"}, out, err), 0)
      << err.str();
  EXPECT_EQ(VersionThroughPlatform("Qvhmx05m.dll"), (sim::FileVersionNumber{1, 0, 2, 9}));

  LoadedSensor sensor("Qvhmx05m.dll", 6);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  std::vector<uint8_t> image(300 * 400);
  EXPECT_EQ(sensor->GetImage(image.data()), 0u);
}

TEST_F(ModuleLibraryTest, ToolShowsModuleVersionsAndTheLastSmartCaptureRecord) {
  UseMachine(/*empty=*/false);
  std::ostringstream status, err;
  ASSERT_EQ(sim::RunTool({"status"}, status, err), 0) << err.str();
  for (const BuiltModule& built : kBuiltModules) {
    EXPECT_NE(status.str().find(std::string(built.file) + "  " + built.version.ToString()),
              std::string::npos)
        << built.file << "\n" << status.str();
  }

  LoadedSensor sensor("Qvhmx05m.dll", 6);
  ASSERT_TRUE(sensor.Loaded());
  ASSERT_EQ(sensor->OpenDevice(0, 0), 0u);
  uint8_t on = 1;
  ASSERT_EQ(sensor->Control(kControlSmartCapture, &on), 0u);
  std::vector<uint8_t> image(300 * 400);
  ASSERT_EQ(sensor->GetImage(image.data()), 0u);
  uint32_t size = 0;
  ASSERT_EQ(sensor->Control(kControlDetailSize, &size), 0u);
  std::vector<uint8_t> record(size);
  std::memcpy(record.data(), &size, sizeof size);
  ASSERT_EQ(sensor->Control(kControlDetailRecord, record.data()), 0u);

  const std::filesystem::path file = root_.Folder() / "last.scd";
  std::ostringstream out;
  ASSERT_EQ(sim::RunTool({"scd", "HMX05-0", file.string()}, out, err), 0) << err.str();
  std::ifstream written(file, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(written), {}};
  EXPECT_EQ(bytes, record);
}

}  // namespace
