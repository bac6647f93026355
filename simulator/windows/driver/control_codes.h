/* The control device of the simulated workstation's kernel driver: what
 * driver_control.cpp sends and the driver reads, declared once for both. */
#pragma once

#include "simulator/kernel_driver/usb_answer_core.h"

#define TSIM_CONTROL_DEVICE_NAME L"\\Device\\TolvaneSimControl"
#define TSIM_CONTROL_LINK_NAME L"\\DosDevices\\TolvaneSimControl"
#define TSIM_CONTROL_PATH "\\\\.\\TolvaneSimControl"

/* CTL_CODE(FILE_DEVICE_UNKNOWN, 0x900 + n, METHOD_BUFFERED, FILE_ANY_ACCESS);
 * each takes one TsimPlugRecord as input and answers no bytes. */
#define TSIM_IOCTL_PLUG 0x222400u           /* a reader: every field */
#define TSIM_IOCTL_UNPLUG 0x222404u         /* a reader: name and index */
#define TSIM_IOCTL_PLUG_FOREIGN 0x222408u   /* another maker's device: reader.vendorId, reader.productId */
#define TSIM_IOCTL_UNPLUG_FOREIGN 0x22240Cu /* the same */

/* A foreign device never has the family's vendor id. */
#define TSIM_TOLVANE_VENDOR_ID 0x2F3Du

#define TSIM_READER_NAME_CAPACITY 8u /* a device-path name ("HMX05") and its terminator */

typedef struct TsimPlugRecord {
  char name[TSIM_READER_NAME_CAPACITY]; /* upper-case letters and digits, NUL-terminated */
  uint32_t index;                       /* 0..9 */
  uint32_t framework;                   /* nonzero: served by the framework, no device path */
  TsimUsbReader reader;
} TsimPlugRecord;
TSIM_STATIC_ASSERT(sizeof(TsimPlugRecord) == 48, "TsimPlugRecord crosses the control device");
TSIM_STATIC_ASSERT(offsetof(TsimPlugRecord, index) == 8, "TsimPlugRecord layout");
TSIM_STATIC_ASSERT(offsetof(TsimPlugRecord, framework) == 12, "TsimPlugRecord layout");
TSIM_STATIC_ASSERT(offsetof(TsimPlugRecord, reader) == 16, "TsimPlugRecord layout");
