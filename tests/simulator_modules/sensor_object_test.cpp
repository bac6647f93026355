#include "simulator/modules/sensor_object.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "simulator/modules/detail_record.h"
#include "simulator/modules/smart_capture.h"
#include "tests/simulator_modules/sensor_fixture.h"

namespace simulator::testing {
namespace {

using namespace std::chrono_literals;

class SensorObjectTest : public SensorFixture {};

TEST_F(SensorObjectTest, OpensOnlyAnAttachedReader) {
  MakeSensor(6);
  DeviceInfo info{};
  EXPECT_EQ(sensor->GetDeviceInfo(&info), 55u);  // never opened
  EXPECT_EQ(sensor->OpenDevice(1, 0), 55u);      // nothing at index 1
  port->Unplug();
  EXPECT_EQ(sensor->OpenDevice(0, 0), 55u);
}

TEST_F(SensorObjectTest, ReportsEachModelsGeometryAndDefaults) {
  for (uint32_t type : {1u, 3u, 4u, 5u, 6u, 7u}) {
    OpenSensor(type);
    DeviceInfo info{};
    ASSERT_EQ(sensor->GetDeviceInfo(&info), 0u) << type;
    EXPECT_EQ(info.width, model->width);
    EXPECT_EQ(info.height, model->height);
    EXPECT_LE(info.width, 300);
    EXPECT_LE(info.height, 400);
    EXPECT_EQ(info.brightness, 50);
    EXPECT_EQ(sensor->GetOption(kOptionCaptureMode), model->defaultCaptureMode);
    if (type == 1) {
      EXPECT_EQ(info.portAddress, 0x378);
      EXPECT_EQ(info.portMode, 3);
    }
    std::vector<uint8_t> image(ImageBytes(), 0);
    EXPECT_EQ(sensor->GetImage(image.data()), 0u) << type;
    EXPECT_LT(MeanGray(image), 250);
  }
  EXPECT_EQ(FindReaderModel(3)->width % 4, 2);
  EXPECT_EQ(FindReaderModel(6)->defaultCaptureMode, 2);
  EXPECT_EQ(FindReaderModel(2), nullptr);
}

TEST_F(SensorObjectTest, BrightnessMovesMeanGrayAndIsClamped) {
  OpenSensor(5);
  std::vector<uint8_t> image(ImageBytes());
  int previous = -1;
  for (int brightness : {10, 50, 90}) {
    ASSERT_EQ(sensor->SetBrightness(brightness), 0u);
    ASSERT_EQ(sensor->GetImage(image.data()), 0u);
    EXPECT_GT(MeanGray(image), previous);
    previous = MeanGray(image);
  }
  sensor->SetBrightness(250);
  DeviceInfo info{};
  sensor->GetDeviceInfo(&info);
  EXPECT_EQ(info.brightness, 100);
}

TEST_F(SensorObjectTest, UnpluggedReaderFailsNextCall) {
  OpenSensor(4);
  port->Unplug();
  std::vector<uint8_t> image(ImageBytes());
  EXPECT_EQ(sensor->GetImage(image.data()), 53u);
  DeviceInfo info{};
  EXPECT_EQ(sensor->GetDeviceInfo(&info), 53u);
  uint8_t byte = 0;
  EXPECT_EQ(sensor->Control(kControlGetGainMax, &byte), 53u);
  EXPECT_EQ(sensor->CloseDevice(), 0u);
  EXPECT_EQ(sensor->GetDeviceInfo(&info), 53u);
}

TEST_F(SensorObjectTest, UnplugDuringACaptureEndsItPromptly) {
  OpenSensor(6);
  port->SetFinger(FingerState::kAbsent);
  std::vector<uint8_t> image(ImageBytes());
  std::thread unplug([this] {
    std::this_thread::sleep_for(50ms);
    port->Unplug();
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(sensor->GetImageEx(image.data(), kLiveCaptureTimeout, nullptr, nullptr,
                               kLiveCaptureFrames),
            53u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  unplug.join();
}

TEST_F(SensorObjectTest, NoFingerTimesOut) {
  OpenSensor(3);
  port->SetFinger(FingerState::kAbsent);
  std::vector<uint8_t> image(ImageBytes(), 9);
  EXPECT_EQ(sensor->GetImageEx(image.data(), 30, nullptr, nullptr, kLiveCaptureFrames), 54u);
  EXPECT_EQ(image, std::vector<uint8_t>(ImageBytes(), 9));
}

TEST_F(SensorObjectTest, ClosingTheReaderEndsARunningCapture) {
  OpenSensor(6);
  port->SetFinger(FingerState::kAbsent);
  std::vector<uint8_t> image(ImageBytes());
  uint32_t status = 0;
  std::thread capture([&] { status = sensor->GetImage(image.data()); });
  std::this_thread::sleep_for(30ms);
  sensor->CloseDevice();
  capture.join();
  EXPECT_EQ(status, 53u);
}

TEST_F(SensorObjectTest, ControlCodesRoundTrip) {
  OpenSensor(6);
  uint8_t byte = 1;
  ASSERT_EQ(sensor->Control(kControlSmartCapture, &byte), 0u);
  byte = 0;
  ASSERT_EQ(sensor->Control(kControlRead | kControlSmartCapture, &byte), 0u);
  EXPECT_EQ(byte, 1);

  byte = 200;  // beyond the reader's range: clamped, and the caller sees the result
  ASSERT_EQ(sensor->Control(kControlSetGainMax, &byte), 0u);
  EXPECT_EQ(byte, model->gainMax.high);
  byte = 0;
  sensor->Control(kControlGetGainMax, &byte);
  EXPECT_EQ(byte, model->gainMax.high);
  byte = 30;
  ASSERT_EQ(sensor->Control(kControlSetGainMin, &byte), 0u);
  EXPECT_EQ(byte, model->gainMin.high);
  byte = 0;
  sensor->Control(kControlGetGainMin, &byte);
  EXPECT_EQ(byte, model->gainMin.high);

  byte = 0;
  ASSERT_EQ(sensor->Control(kControlSharpness, &byte), 0u);
  byte = 1;
  sensor->Control(kControlRead | kControlSharpness, &byte);
  EXPECT_EQ(byte, 0);

  int32_t word = 1;
  ASSERT_EQ(sensor->Control(kControlDeleteConfigFile, &word), 0u);
  EXPECT_EQ(word, 0);
  word = 1;
  sensor->Control(kControlDeleteConfigFile, &word);
  EXPECT_EQ(word, 1);  // already gone

  word = 0;
  ASSERT_EQ(sensor->Control(kControlSrFeature, &word), 0u);
  EXPECT_NE(word, 0);

  EXPECT_EQ(sensor->Control(999, &word), 4u);
  EXPECT_EQ(sensor->Control(kControlRead | kControlLog, &word), 4u);
  EXPECT_EQ(sensor->Control(kControlSmartCapture, nullptr), 3u);
  EXPECT_EQ(sensor->Reserved03(), 4u);
}

TEST_F(SensorObjectTest, OptionsAndCommands) {
  OpenSensor(4);
  EXPECT_EQ(sensor->SetOption(kOptionRecalibrate1, 0), 2u);  // mode T: refused
  ASSERT_EQ(sensor->SetOption(kOptionCaptureMode, 0x102), 0u);  // only the low byte counts
  EXPECT_EQ(sensor->GetOption(kOptionCaptureMode), 2u);
  EXPECT_EQ(sensor->SetOption(kOptionRecalibrate1, 0), 0u);
  EXPECT_EQ(sensor->SetOption(kOptionRecalibrate2, 0), 0u);
  EXPECT_EQ(sensor->SetOption(3, 0), 4u);
  EXPECT_EQ(sensor->SetLed(0x101), 0u);
  EXPECT_EQ(sensor->ResetCmos(), 0u);

  ConfigureSettings settings;
  settings.captureMode = 1;
  settings.brightness = 70;
  settings.smartCapture = true;
  settings.status = 2;
  port->SetConfigureSettings(settings);
  EXPECT_EQ(sensor->Configure(nullptr), 2u);
  EXPECT_EQ(sensor->GetOption(kOptionCaptureMode), 1u);
  DeviceInfo info{};
  sensor->GetDeviceInfo(&info);
  EXPECT_EQ(info.brightness, 70);
  uint8_t smart = 0;
  sensor->Control(kControlRead | kControlSmartCapture, &smart);
  EXPECT_EQ(smart, 1);
}

TEST_F(SensorObjectTest, DetailRecordFollowsTheLayoutAndRespectsTheCallersSize) {
  OpenSensor(6);
  uint32_t size = 0;
  ASSERT_EQ(sensor->Control(kControlDetailSize, &size), 0u);
  EXPECT_EQ(size, 112 + 3 * ImageBytes());

  // Too small a record is refused without a byte written past its first word.
  std::vector<uint8_t> small(200, 0xAB);
  const uint32_t smallSize = 200;
  std::memcpy(small.data(), &smallSize, 4);
  EXPECT_EQ(sensor->Control(kControlDetailRecord, small.data()), 3u);
  EXPECT_EQ(small[4], 0xAB);

  uint8_t on = 1;
  sensor->Control(kControlSmartCapture, &on);
  std::vector<uint8_t> image(ImageBytes());
  ASSERT_EQ(sensor->GetImage(image.data()), 0u);

  std::vector<uint8_t> record(size, 0);
  std::memcpy(record.data(), &size, 4);
  ASSERT_EQ(sensor->Control(kControlDetailRecord, record.data()), 0u);
  SmartCaptureDetail header;
  std::memcpy(&header, record.data(), sizeof header);
  EXPECT_EQ(static_cast<uint32_t>(header.size), size);
  EXPECT_EQ(header.version, kDetailRecordVersion);
  EXPECT_GE(header.numOfCaptures, 1);
  EXPECT_LE(header.numOfCaptures, 3);
  EXPECT_EQ(header.initBrightness, 50);
  EXPECT_GE(header.numOfBrightnesses, 1);
  EXPECT_LE(header.numOfBrightnesses, 11);
  EXPECT_EQ(header.brightnesses[header.numOfBrightnesses - 1], header.smartBrightness);
  EXPECT_EQ(header.width, model->width);
  EXPECT_EQ(header.height, model->height);
  EXPECT_EQ(static_cast<size_t>(header.imageBytes), ImageBytes());
  EXPECT_EQ(header.errorCode, 0);
  EXPECT_GT(header.captureTimes[0], 0);
  EXPECT_GE(header.captureSpeed, header.captureTimes[0]);
  EXPECT_GT(header.grayQuality, 0);
  // Image 1 is the image the capture returned.
  EXPECT_EQ(0, std::memcmp(record.data() + 112, image.data(), ImageBytes()));
  EXPECT_EQ(port->StoredRecord(), record);
}

TEST_F(SensorObjectTest, LogGrowsWithUseAndIsHandedOutAsMeasured) {
  OpenSensor(6);
  uint32_t first = 0;
  ASSERT_EQ(sensor->Control(kControlLogSize, &first), 0u);
  sensor->SetLed(1);
  sensor->SetBrightness(30);
  uint32_t second = 0;
  sensor->Control(kControlLogSize, &second);
  EXPECT_GT(second, first);

  sensor->SetLed(0);  // grows after the size was taken: 201 still writes `second` bytes
  std::vector<char> log(second + 16, '#');
  ASSERT_EQ(sensor->Control(kControlLog, log.data()), 0u);
  EXPECT_EQ(log[second], '#');
  const std::string text(log.data(), second);
  EXPECT_NE(text.find("Brightness 30"), std::string::npos);
  EXPECT_NE(text.find("LED on"), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
}

TEST_F(SensorObjectTest, LogNeedsItsSizeFirst) {
  OpenSensor(7);
  char buffer[16];
  EXPECT_EQ(sensor->Control(kControlLog, buffer), 3u);
}

TEST_F(SensorObjectTest, ConcurrentCallsFromTwoThreads) {
  OpenSensor(6);
  std::vector<uint8_t> image(ImageBytes());
  std::atomic<bool> done{false};
  std::thread settings([&] {
    for (int i = 0; !done; ++i) {
      sensor->SetBrightness(i % 100);
      uint8_t byte = static_cast<uint8_t>(i);
      sensor->Control(kControlSetGainMax, &byte);
      sensor->Control(kControlSmartCapture, &byte);
    }
  });
  for (int i = 0; i < 5; ++i) EXPECT_EQ(sensor->GetImage(image.data()), 0u);
  done = true;
  settings.join();
}

}  // namespace
}  // namespace simulator::testing
