// The direct channel on the simulated kernel driver: what lands in the entry,
// which serial request each generation takes, and answers that fall short.
#include <cstring>
#include <functional>
#include <vector>

#include "device/qv_usb_device.h"
#include "device/sensor.h"
#include "tests/channels/machine_test.h"

namespace {

// The direct channel with its requests, closes and answers in view.
class ObservedChannel : public QvUsbDevice {
 public:
  using QvUsbDevice::QvUsbDevice;

  std::vector<ControlRequest> requests;
  int handlesClosed = 0;
  // Changes an answer after the driver gave it: (code, output, bytes returned).
  std::function<void(DWORD, uint8_t*, DWORD&)> alterAnswer;
  // Replaces the vendor request altogether when set.
  std::function<bool(const ControlRequest&)> fakeVendorRequest;

  bool VendorRequest(const ControlRequest* request) override {
    requests.push_back(*request);
    return fakeVendorRequest ? fakeVendorRequest(*request) : QvUsbDevice::VendorRequest(request);
  }
  uint32_t CloseHandle() override {
    if (IsOpen()) ++handlesClosed;
    return QvUsbDevice::CloseHandle();
  }
  bool IoControl(HANDLE device, DWORD code, void* input, DWORD inputSize, void* output, DWORD outputSize,
                 DWORD* bytesReturned, LPOVERLAPPED overlapped) override {
    const bool ok =
        QvUsbDevice::IoControl(device, code, input, inputSize, output, outputSize, bytesReturned, overlapped);
    if (ok && alterAnswer) alterAnswer(code, static_cast<uint8_t*>(output), *bytesReturned);
    return ok;
  }

  DeviceEntry Entry() const {
    DeviceEntry entry;
    GetEntry(&entry);
    return entry;
  }
};

class DirectChannelTest : public MachineTest {};

TEST_F(DirectChannelTest, BuildsTheEntryAndTellsTheFormFactorByProductId) {
  Plug("HMX04", 0, [](sim::Reader& r) {
    r.productId = 0x2000;
    r.release = 0x0123;
    r.serial = "TV04ABCDEFGHIJKLMNOP";  // 20 characters: 15 are kept
  });
  Plug("HMX04", 1, [](sim::Reader& r) { r.productId = 0x2001; });

  ObservedChannel channel(kReaderHmx04);
  ASSERT_EQ(channel.Open(0), kStatusOk);
  DeviceEntry entry = channel.Entry();
  EXPECT_EQ(entry.type, kReaderHmx04);
  EXPECT_EQ(entry.index, 0);
  EXPECT_STREQ(entry.module, "Qvhmx04m.dll");
  EXPECT_EQ(entry.release, 0x0123);
  EXPECT_EQ(entry.productId, 0x2000);
  EXPECT_EQ(entry.formFactor, 1);
  EXPECT_STREQ(entry.serial, "TV04ABCDEFGHIJK");
  EXPECT_EQ(entry.portAddress, 0);
  EXPECT_EQ(entry.portMode, 0);

  ASSERT_EQ(channel.Open(1), kStatusOk);
  EXPECT_EQ(channel.Entry().formFactor, 2);
  EXPECT_EQ(channel.Entry().index, 1);
}

TEST_F(DirectChannelTest, Type4ReleaseDecidesTheSerialRequest) {
  Plug("QVUSB", 0, [](sim::Reader& r) { r.release = 0x0FFF; });
  Plug("QVUSB", 1, [](sim::Reader& r) { r.release = 0x1000; });
  ObservedChannel channel(kReaderHmx03);

  ASSERT_EQ(channel.Open(0), kStatusOk);
  ASSERT_EQ(channel.requests.size(), 1u);
  EXPECT_EQ(channel.requests[0].value, 2u);
  EXPECT_EQ(channel.requests[0].length, 42u);
  EXPECT_STREQ(channel.Entry().serial, "TVHMX03N0");

  ASSERT_EQ(channel.Open(1), kStatusOk);
  ASSERT_EQ(channel.requests.size(), 2u);
  EXPECT_EQ(channel.requests[1].value, 0u);
  EXPECT_EQ(channel.requests[1].length, 30u);
  EXPECT_STREQ(channel.Entry().serial, "TVHMX03N1");
}

// One channel serves every index: what it read from one reader is not listed
// as the next one's.
TEST_F(DirectChannelTest, Type3BelowRelease20OpensWithoutSerial) {
  Plug("OMREL", 0, [](sim::Reader& r) { r.release = 0x0020; });
  Plug("OMREL", 1, [](sim::Reader& r) { r.release = 0x001F; });
  ObservedChannel channel(kReaderHmx02);
  ASSERT_EQ(channel.Open(0), kStatusOk);
  EXPECT_STREQ(channel.Entry().serial, "TVHMX02N0");

  channel.alterAnswer = [](DWORD code, uint8_t*, DWORD& returned) {
    if (code == kIoctlGetDeviceDescriptor) returned = 0;
  };
  ASSERT_EQ(channel.Open(1), kStatusOk);
  const DeviceEntry entry = channel.Entry();
  EXPECT_EQ(entry.index, 1);
  EXPECT_EQ(entry.release, 0);
  EXPECT_EQ(entry.productId, 0);
  EXPECT_STREQ(entry.serial, "");

  channel.alterAnswer = nullptr;
  ASSERT_EQ(channel.Open(1), kStatusOk);
  EXPECT_EQ(channel.Entry().release, 0x001F);
  EXPECT_STREQ(channel.Entry().serial, "");
}

TEST_F(DirectChannelTest, ReopeningClosesTheFirstIndexAndAMissingIndexFails) {
  Plug("HMX06", 1);
  Plug("HMX06", 3);
  ObservedChannel channel(kReaderHmx06);
  ASSERT_EQ(channel.Open(1), kStatusOk);
  EXPECT_EQ(channel.handlesClosed, 0);
  ASSERT_EQ(channel.Open(3), kStatusOk);
  EXPECT_EQ(channel.handlesClosed, 1);
  EXPECT_EQ(channel.Entry().index, 3);
  EXPECT_EQ(channel.Open(2), kStatusSystemFileLoadFail);
  EXPECT_EQ(channel.handlesClosed, 2);
  EXPECT_FALSE(channel.IsOpen());
}

TEST_F(DirectChannelTest, ShortAnswersAreReadOnlyAsFarAsTheyReach) {
  Plug("OMREL", 0, [](sim::Reader& r) { r.serial = "ABCDEFGHIJ"; });
  ObservedChannel channel(kReaderHmx02);
  channel.alterAnswer = [](DWORD code, uint8_t*, DWORD& returned) {
    if (code == kIoctlGetDeviceDescriptor) returned = 12;  // stops before the release
    if (code == kIoctlGetType3Serial) returned = 12;       // five characters
  };
  ASSERT_EQ(channel.Open(0), kStatusOk);
  DeviceEntry entry = channel.Entry();
  EXPECT_EQ(entry.productId, 0);
  EXPECT_EQ(entry.release, 0);
  EXPECT_EQ(entry.formFactor, 0);
  // Without a descriptor the release stays below 0x20: no serial is asked for.
  EXPECT_STREQ(entry.serial, "");

  channel.alterAnswer = [](DWORD code, uint8_t*, DWORD& returned) {
    if (code == kIoctlGetType3Serial) returned = 12;
  };
  ASSERT_EQ(channel.Open(0), kStatusOk);
  EXPECT_STREQ(channel.Entry().serial, "ABCDE");
}

TEST_F(DirectChannelTest, WideSerialIsNarrowedToAsciiAndCutToFit) {
  Plug("QVUSB", 0, [](sim::Reader& r) { r.release = 0x0400; });
  ObservedChannel channel(kReaderHmx03);
  channel.fakeVendorRequest = [](const ControlRequest& request) {
    const char16_t text[] = u"AB\u00e9D\u4e2dFGHIJKLMNOPQRST";  // 20 units, two beyond ASCII
    auto* bytes = static_cast<uint8_t*>(request.data);
    for (size_t i = 0; i < 20; ++i) {
      bytes[2 + 2 * i] = static_cast<uint8_t>(text[i]);
      bytes[3 + 2 * i] = static_cast<uint8_t>(text[i] >> 8);
    }
    return true;
  };
  ASSERT_EQ(channel.Open(0), kStatusOk);
  EXPECT_STREQ(channel.Entry().serial, "AB?D?FGHIJKLMNO");

  channel.fakeVendorRequest = [](const ControlRequest&) { return false; };
  ASSERT_EQ(channel.Open(0), kStatusOk);
  EXPECT_STREQ(channel.Entry().serial, "AB?D?FGHIJKLMNO");  // a failed read keeps the last serial
}

}  // namespace
