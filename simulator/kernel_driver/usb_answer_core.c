#include "simulator/kernel_driver/usb_answer_core.h"

enum {
  kSerialRequest = 0x25,
  kType3SerialFromRelease = 0x20,
  kStringDescriptorType = 3,
  kType3InputSize = 4,
};

static void WriteLe16(uint8_t* bytes, uint16_t value) {
  bytes[0] = (uint8_t)value;
  bytes[1] = (uint8_t)(value >> 8);
}

/* The serial's first `characters` characters as UTF-16 at `out`, zero-padded. */
static void WriteSerialUtf16(const TsimUsbReader* reader, uint8_t* out, size_t characters) {
  int ended = 0;
  for (size_t i = 0; i < characters; ++i) {
    if (reader->serial[i] == '\0') ended = 1;
    WriteLe16(out + 2 * i, ended ? 0 : (uint8_t)reader->serial[i]);
  }
}

void TsimWriteDeviceDescriptor(const TsimUsbReader* reader, uint8_t* d) {
  d[0] = TSIM_DEVICE_DESCRIPTOR_SIZE; /* bLength */
  d[1] = 1;                           /* bDescriptorType: device */
  WriteLe16(d + 2, 0x0200);           /* bcdUSB */
  d[4] = 0xFF;                        /* bDeviceClass: vendor specific */
  d[5] = 0;
  d[6] = 0;
  d[7] = 64; /* bMaxPacketSize0 */
  WriteLe16(d + 8, reader->vendorId);
  WriteLe16(d + 10, reader->productId);
  WriteLe16(d + 12, reader->release);
  d[14] = 1; /* iManufacturer */
  d[15] = 2; /* iProduct */
  d[16] = 3; /* iSerialNumber */
  d[17] = 1; /* bNumConfigurations */
}

size_t TsimAnswerType3Serial(const TsimUsbReader* reader, const uint8_t* input, size_t inputSize, uint8_t* output,
                             size_t outputSize) {
  if (reader->type != 3 || reader->release < kType3SerialFromRelease) return 0;
  if (inputSize < kType3InputSize || input[0] != 3 || input[2] != 0x99 || input[3] != 0x01) return 0;
  if (outputSize < TSIM_TYPE3_SERIAL_ANSWER_SIZE) return 0;
  output[0] = TSIM_TYPE3_SERIAL_ANSWER_SIZE;
  output[1] = kStringDescriptorType;
  WriteSerialUtf16(reader, output + 2, TSIM_SERIAL_REQUEST_CHARACTERS);
  return TSIM_TYPE3_SERIAL_ANSWER_SIZE;
}

int TsimParseRequestHeader(const uint8_t* header, size_t size, TsimUsbRequest* request) {
  if (size < TSIM_REQUEST_HEADER_SIZE) return 0;
  if (header[0] > 1 || header[1] != 2 || header[2] != 0) return 0;
  request->direction = header[0];
  request->request = header[4];
  request->value = (uint16_t)(header[6] | header[7] << 8);
  request->index = (uint16_t)(header[8] | header[9] << 8);
  return 1;
}

size_t TsimAnswerVendorRequest(const TsimUsbReader* reader, const TsimUsbRequest* request, uint8_t* output,
                               size_t outputSize) {
  if (request->direction != 1 || request->request != kSerialRequest || request->index != 0) return 0;
  if (request->value == 0) {
    const size_t size = TSIM_SERIAL_REQUEST_CHARACTERS * 2;
    if (outputSize < size) return 0;
    WriteSerialUtf16(reader, output, TSIM_SERIAL_REQUEST_CHARACTERS);
    return size;
  }
  if (request->value == 2) {
    const size_t size = 2 + TSIM_STRING_DESCRIPTOR_CHARACTERS * 2;
    if (outputSize < size) return 0;
    output[0] = (uint8_t)size;
    output[1] = kStringDescriptorType;
    WriteSerialUtf16(reader, output + 2, TSIM_STRING_DESCRIPTOR_CHARACTERS);
    return size;
  }
  return 0;
}

static TsimAnswer Answered(size_t size, size_t* answered) {
  *answered = size;
  return size ? TSIM_ANSWERED : TSIM_BAD_REQUEST;
}

TsimAnswer TsimAnswerControl(const TsimUsbReader* reader, uint32_t code, const uint8_t* input, size_t inputSize,
                             uint8_t* output, size_t outputSize, size_t* answered) {
  *answered = 0;
  switch (code) {
    case TSIM_IOCTL_GET_DEVICE_DESCRIPTOR:
      if (outputSize < TSIM_DEVICE_DESCRIPTOR_SIZE) return TSIM_BUFFER_TOO_SMALL;
      TsimWriteDeviceDescriptor(reader, output);
      *answered = TSIM_DEVICE_DESCRIPTOR_SIZE;
      return TSIM_ANSWERED;
    case TSIM_IOCTL_GET_TYPE3_SERIAL: {
      /* The input is read whole before the answer overwrites it. */
      uint8_t request[kType3InputSize] = {0};
      if (inputSize < kType3InputSize) return TSIM_BAD_REQUEST;
      for (size_t i = 0; i < kType3InputSize; ++i) request[i] = input[i];
      return Answered(TsimAnswerType3Serial(reader, request, kType3InputSize, output, outputSize), answered);
    }
    case TSIM_IOCTL_VENDOR_REQUEST: {
      /* The header is the whole input; the data travels in the output buffer. */
      TsimUsbRequest request;
      if (inputSize != TSIM_REQUEST_HEADER_SIZE || !TsimParseRequestHeader(input, inputSize, &request)) {
        return TSIM_BAD_REQUEST;
      }
      return Answered(TsimAnswerVendorRequest(reader, &request, output, outputSize), answered);
    }
    default:
      return TSIM_UNKNOWN_CODE;
  }
}
