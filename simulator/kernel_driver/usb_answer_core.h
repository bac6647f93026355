/* What a Tolvane USB reader answers to the direct channel's control codes, at
 * the byte level. Plain C with no library beyond the compiler's own headers:
 * the Linux stand-in (usb_answers.h) and the Windows kernel driver compile
 * this one source, so both give the same answers. */
#pragma once

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define TSIM_STATIC_ASSERT static_assert
extern "C" {
#else
#define TSIM_STATIC_ASSERT _Static_assert
#endif

/* The device I/O control codes of the direct channel. */
#define TSIM_IOCTL_GET_DEVICE_DESCRIPTOR 0x222004u /* METHOD_BUFFERED */
#define TSIM_IOCTL_GET_TYPE3_SERIAL 0x222044u      /* METHOD_BUFFERED */
#define TSIM_IOCTL_VENDOR_REQUEST 0x222059u        /* METHOD_IN_DIRECT: header in, data out */

#define TSIM_DEVICE_DESCRIPTOR_SIZE 18u
#define TSIM_TYPE3_SERIAL_ANSWER_SIZE 32u
#define TSIM_REQUEST_HEADER_SIZE 10u
#define TSIM_SERIAL_REQUEST_CHARACTERS 15u    /* request 0x25, value 0 */
#define TSIM_STRING_DESCRIPTOR_CHARACTERS 20u /* request 0x25, value 2 */
#define TSIM_SERIAL_MAX_CHARACTERS 20u
#define TSIM_SERIAL_CAPACITY 24u /* the characters and the terminator, rounded up */

/* The reader as its control pipe shows it. */
typedef struct TsimUsbReader {
  uint16_t type; /* reader generation, 3..7 */
  uint16_t vendorId;
  uint16_t productId;
  uint16_t release;
  char serial[TSIM_SERIAL_CAPACITY]; /* NUL-terminated, at most 20 printable ASCII characters */
} TsimUsbReader;
TSIM_STATIC_ASSERT(sizeof(TsimUsbReader) == 32, "TsimUsbReader crosses the driver's control device");
TSIM_STATIC_ASSERT(offsetof(TsimUsbReader, release) == 6, "TsimUsbReader layout");
TSIM_STATIC_ASSERT(offsetof(TsimUsbReader, serial) == 8, "TsimUsbReader layout");

/* A vendor request's 10-byte header. */
typedef struct TsimUsbRequest {
  uint8_t direction; /* 1 reader to host, 0 host to reader */
  uint8_t request;
  uint16_t value;
  uint16_t index;
} TsimUsbRequest;

typedef enum TsimAnswer {
  TSIM_ANSWERED,         /* the answer is in the output buffer */
  TSIM_BAD_REQUEST,      /* malformed input, an output too small for a request, or not this reader's */
  TSIM_BUFFER_TOO_SMALL, /* the output cannot hold the descriptor */
  TSIM_UNKNOWN_CODE,
} TsimAnswer;

/* One control call. For the buffered codes `input` and `output` may be the
 * same memory, as a driver receives them. `*answered` is the bytes written. */
TsimAnswer TsimAnswerControl(const TsimUsbReader* reader, uint32_t code, const uint8_t* input, size_t inputSize,
                             uint8_t* output, size_t outputSize, size_t* answered);

/* The pieces, for the framework's unit control calls, which carry the same
 * answers in other envelopes. Each answers the bytes written, 0 when refused. */
void TsimWriteDeviceDescriptor(const TsimUsbReader* reader, uint8_t* out /* 18 bytes */);
/* The type-3 serial: 4 bytes of input (3, any, then 0x0199), 32 bytes of
 * answer with character i at byte 2 + 2i; from release 0x20 on. */
size_t TsimAnswerType3Serial(const TsimUsbReader* reader, const uint8_t* input, size_t inputSize, uint8_t* output,
                             size_t outputSize);
/* Nonzero when the first `size` bytes (10 at least) hold a request header. */
int TsimParseRequestHeader(const uint8_t* header, size_t size, TsimUsbRequest* request);
/* Request 0x25 from reader to host into `output` (its size is the requested
 * length): value 0, 15 UTF-16 characters of the serial (30 bytes); value 2, a
 * string descriptor of 2 header bytes and 20 characters. */
size_t TsimAnswerVendorRequest(const TsimUsbReader* reader, const TsimUsbRequest* request, uint8_t* output,
                               size_t outputSize);

#ifdef __cplusplus
}
#endif
