/* The kernel driver's parts: the entry and plug-and-play routing
 * (driver_entry.c), the attached devices (attached_devices.c), their
 * interfaces' state (interface_state.c) and the readers' device I/O
 * (reader_io.c). */
#pragma once

#include <ntddk.h>

#include "simulator/windows/driver/control_codes.h"

typedef enum DeviceKind {
  kControlDevice, /* \Device\TolvaneSimControl */
  kBusDevice,     /* the function device on the root device: owns the interfaces */
  kReaderDevice,  /* \Device\NAME-N */
} DeviceKind;

/* A reader's object outlives its unplugging while a handle is open, and is
 * taken back when the reader is plugged again; a handle serves only the
 * plugging it was opened in. */
typedef struct ReaderExtension {
  DeviceKind kind;
  BOOLEAN unplugged;
  LONG handles;   /* open handles; the last one to close deletes an unplugged reader's object */
  ULONG plugging; /* counts the pluggings of this object */
  TsimPlugRecord record;
} ReaderExtension;

typedef struct BusExtension {
  DeviceKind kind;
  PDEVICE_OBJECT physical; /* the root device */
  PDEVICE_OBJECT lower;    /* what the bus device is attached to */
} BusExtension;

/* attached_devices.c */
void AttachedDevicesInit(PDRIVER_OBJECT driver);
void AttachedDevicesStarted(PDEVICE_OBJECT physicalDevice);
void AttachedDevicesRemoveAll(void); /* every device goes: the root device is removed */
NTSTATUS AttachedDevicesControl(ULONG code, const void* input, ULONG inputSize);
NTSTATUS ReaderOpened(PDEVICE_OBJECT device, PFILE_OBJECT file);
void ReaderClosed(PDEVICE_OBJECT device);
/* The reader a handle reaches; false once it was unplugged. */
BOOLEAN ReaderOfHandle(PDEVICE_OBJECT device, PFILE_OBJECT file, TsimUsbReader* reader);

/* interface_state.c */
NTSTATUS SetDeviceInterfaceState(PUNICODE_STRING name, BOOLEAN enable);
void InterfaceLinksRemoved(void); /* no interface is enabled any more */

/* reader_io.c */
NTSTATUS ReaderControl(PDEVICE_OBJECT device, PIRP irp, ULONG_PTR* answered);
