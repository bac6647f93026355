#include "simulator/kernel_driver/usb_answers.h"

#include <algorithm>

#include "simulator/machine/profile.h"

namespace sim {

namespace {

std::optional<size_t> Refused(size_t answered) { return answered ? std::optional<size_t>(answered) : std::nullopt; }

}  // namespace

bool FrameworkServes(const Reader& reader) { return reader.framework && LoadProfile().frameworkPresent; }

TsimUsbReader UsbReaderOf(const Reader& reader) {
  TsimUsbReader usb{reader.type, reader.vendorId, reader.productId, reader.release, {}};
  std::copy_n(reader.serial.begin(), std::min(reader.serial.size(), sizeof usb.serial - 1), usb.serial);
  return usb;
}

void WriteDeviceDescriptor(const Reader& reader, std::span<uint8_t, kDeviceDescriptorSize> out) {
  const TsimUsbReader usb = UsbReaderOf(reader);
  TsimWriteDeviceDescriptor(&usb, out.data());
}

std::optional<size_t> AnswerType3Serial(const Reader& reader, std::span<const uint8_t> input,
                                        std::span<uint8_t> output) {
  const TsimUsbReader usb = UsbReaderOf(reader);
  return Refused(TsimAnswerType3Serial(&usb, input.data(), input.size(), output.data(), output.size()));
}

std::optional<UsbRequest> ParseRequestHeader(std::span<const uint8_t> header) {
  UsbRequest request{};
  if (!TsimParseRequestHeader(header.data(), header.size(), &request)) return std::nullopt;
  return request;
}

std::optional<size_t> AnswerVendorRequest(const Reader& reader, const UsbRequest& request,
                                          std::span<uint8_t> output) {
  const TsimUsbReader usb = UsbReaderOf(reader);
  return Refused(TsimAnswerVendorRequest(&usb, &request, output.data(), output.size()));
}

}  // namespace sim
