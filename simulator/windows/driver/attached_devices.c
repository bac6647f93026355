/* The devices attached while the driver runs: for each, a USB device interface
 * whose name carries its vendor and product ids, and for a reader of the
 * direct channel the device object \Device\NAME-N with its link. */
#include "simulator/windows/driver/driver.h"

#include <initguid.h> /* defines the GUID usbiodef.h declares, here */
#include <usbiodef.h>

#define MAX_ATTACHED 64
#define NAME_CAPACITY 64

typedef struct Attached {
  BOOLEAN used;
  BOOLEAN foreign;
  TsimPlugRecord record;
  PDEVICE_OBJECT reader;        /* the direct channel's device object, or NULL */
  UNICODE_STRING interfaceName; /* the enabled USB device interface */
} Attached;

static PDRIVER_OBJECT driverObject;
static PDEVICE_OBJECT rootDevice; /* set while the root device is started */
static Attached attached[MAX_ATTACHED];
/* Plug, unplug and the last close of an unplugged reader take turns. An event,
 * not a fast mutex: registering an interface needs PASSIVE_LEVEL. */
static KEVENT turn;

static void Lock(void) { KeWaitForSingleObject(&turn, Executive, KernelMode, FALSE, NULL); }
static void Unlock(void) { KeSetEvent(&turn, IO_NO_INCREMENT, FALSE); }

/* A name built from ASCII pieces. */
typedef struct Name {
  WCHAR text[NAME_CAPACITY];
  UNICODE_STRING string;
} Name;

static void Append(Name* name, const char* ascii) {
  USHORT at = name->string.Length / sizeof(WCHAR);
  while (*ascii && at < NAME_CAPACITY) name->text[at++] = (WCHAR)*ascii++;
  name->string.Buffer = name->text;
  name->string.Length = at * sizeof(WCHAR);
  name->string.MaximumLength = sizeof name->text;
}

static void AppendHex16(Name* name, uint16_t value) {
  static const char digits[] = "0123456789ABCDEF";
  char text[5] = {digits[value >> 12], digits[(value >> 8) & 15], digits[(value >> 4) & 15], digits[value & 15], 0};
  Append(name, text);
}

static void AppendReaderId(Name* name, const TsimPlugRecord* record) {
  const char index[3] = {'-', (char)('0' + record->index), 0};
  Append(name, record->name);
  Append(name, index);
}

/* PREFIX + "NAME-N" */
static void ReaderName(Name* name, const char* prefix, const TsimPlugRecord* record) {
  RtlZeroMemory(name, sizeof *name);
  Append(name, prefix);
  AppendReaderId(name, record);
}

/* The interface's reference string: "VID_VVVV&PID_PPPP", and "&NAME-N" for a reader. */
static void ReferenceString(Name* name, const Attached* device) {
  RtlZeroMemory(name, sizeof *name);
  Append(name, "VID_");
  AppendHex16(name, device->record.reader.vendorId);
  Append(name, "&PID_");
  AppendHex16(name, device->record.reader.productId);
  if (!device->foreign) {
    Append(name, "&");
    AppendReaderId(name, &device->record);
  }
}

static BOOLEAN SameDevice(const Attached* device, const TsimPlugRecord* record, BOOLEAN foreign) {
  if (!device->used || device->foreign != foreign) return FALSE;
  if (foreign) {
    return device->record.reader.vendorId == record->reader.vendorId &&
           device->record.reader.productId == record->reader.productId;
  }
  return device->record.index == record->index &&
         RtlCompareMemory(device->record.name, record->name, TSIM_READER_NAME_CAPACITY) == TSIM_READER_NAME_CAPACITY;
}

static Attached* Find(const TsimPlugRecord* record, BOOLEAN foreign) {
  for (int i = 0; i < MAX_ATTACHED; ++i) {
    if (SameDevice(&attached[i], record, foreign)) return &attached[i];
  }
  return NULL;
}

static BOOLEAN ValidReaderId(const TsimPlugRecord* record) {
  if (record->index > 9 || record->name[0] == 0) return FALSE;
  for (unsigned i = 0; i < TSIM_READER_NAME_CAPACITY; ++i) {
    const char c = record->name[i];
    if (c == 0) return TRUE;
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return FALSE;
  }
  return FALSE; /* not terminated */
}

static BOOLEAN ValidReader(const TsimPlugRecord* record) {
  if (!ValidReaderId(record)) return FALSE;
  for (unsigned i = 0; i <= TSIM_SERIAL_MAX_CHARACTERS; ++i) {
    if (record->reader.serial[i] == 0) return TRUE;
  }
  return FALSE;
}

/* A reader unplugged while a handle stays open keeps its object, and with it
 * the name, until the handle closes. */
static PDEVICE_OBJECT UnpluggedReader(const TsimPlugRecord* record) {
  for (PDEVICE_OBJECT device = driverObject->DeviceObject; device; device = device->NextDevice) {
    const ReaderExtension* reader = device->DeviceExtension;
    if (reader->kind == kReaderDevice && reader->unplugged && reader->record.index == record->index &&
        RtlCompareMemory(reader->record.name, record->name, TSIM_READER_NAME_CAPACITY) == TSIM_READER_NAME_CAPACITY) {
      return device;
    }
  }
  return NULL;
}

static void Release(PDEVICE_OBJECT object) {
  ReaderExtension* reader = object->DeviceExtension;
  reader->unplugged = TRUE;
  if (reader->handles == 0) IoDeleteDevice(object);
}

static NTSTATUS CreateReaderDevice(Attached* device) {
  Name deviceName, linkName;
  ReaderName(&deviceName, "\\Device\\", &device->record);
  ReaderName(&linkName, "\\DosDevices\\", &device->record);
  PDEVICE_OBJECT object = UnpluggedReader(&device->record);
  if (!object) {
    const NTSTATUS status = IoCreateDevice(driverObject, sizeof(ReaderExtension), &deviceName.string,
                                           FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, &object);
    if (!NT_SUCCESS(status)) return status;
    RtlZeroMemory(object->DeviceExtension, sizeof(ReaderExtension));
    ((ReaderExtension*)object->DeviceExtension)->kind = kReaderDevice;
  }
  ReaderExtension* reader = object->DeviceExtension;
  reader->record = device->record;
  reader->unplugged = FALSE;
  ++reader->plugging;
  const NTSTATUS status = IoCreateSymbolicLink(&linkName.string, &deviceName.string);
  if (!NT_SUCCESS(status)) {
    Release(object);
    return status;
  }
  object->Flags &= ~DO_DEVICE_INITIALIZING;
  device->reader = object;
  return STATUS_SUCCESS;
}

static void DeleteReaderDevice(Attached* device) {
  Name linkName;
  ReaderName(&linkName, "\\DosDevices\\", &device->record);
  IoDeleteSymbolicLink(&linkName.string);
  Release(device->reader);
  device->reader = NULL;
}

static NTSTATUS EnableInterface(Attached* device) {
  Name reference;
  ReferenceString(&reference, device);
  NTSTATUS status =
      IoRegisterDeviceInterface(rootDevice, &GUID_DEVINTERFACE_USB_DEVICE, &reference.string, &device->interfaceName);
  if (!NT_SUCCESS(status)) return status;
  status = SetDeviceInterfaceState(&device->interfaceName, TRUE);
  if (!NT_SUCCESS(status)) RtlFreeUnicodeString(&device->interfaceName);
  return status;
}

/* The device path goes first, then the interface: whoever hears of the
 * removal finds the path gone. */
static void Unplug(Attached* device) {
  if (device->reader) DeleteReaderDevice(device);
  SetDeviceInterfaceState(&device->interfaceName, FALSE);
  RtlFreeUnicodeString(&device->interfaceName);
  RtlZeroMemory(device, sizeof *device);
}

static NTSTATUS Plug(const TsimPlugRecord* record, BOOLEAN foreign) {
  if (!rootDevice) return STATUS_DEVICE_NOT_READY;
  Attached* device = Find(record, foreign);
  if (device) Unplug(device); /* a device plugged again is replaced */
  for (device = attached; device < attached + MAX_ATTACHED && device->used; ++device) continue;
  if (device == attached + MAX_ATTACHED) return STATUS_INSUFFICIENT_RESOURCES;
  device->record = *record;
  device->foreign = foreign;
  if (!foreign && !record->framework) {
    const NTSTATUS status = CreateReaderDevice(device);
    if (!NT_SUCCESS(status)) {
      RtlZeroMemory(device, sizeof *device);
      return status;
    }
  }
  const NTSTATUS status = EnableInterface(device);
  if (!NT_SUCCESS(status)) {
    if (device->reader) DeleteReaderDevice(device);
    RtlZeroMemory(device, sizeof *device);
    return status;
  }
  device->used = TRUE;
  return STATUS_SUCCESS;
}

static NTSTATUS UnplugFound(const TsimPlugRecord* record, BOOLEAN foreign) {
  Attached* device = Find(record, foreign);
  if (!device) return STATUS_NOT_FOUND;
  Unplug(device);
  return STATUS_SUCCESS;
}

/* Only the ids of another maker's device count. */
static TsimPlugRecord ForeignRecord(const TsimPlugRecord* record) {
  TsimPlugRecord foreign;
  RtlZeroMemory(&foreign, sizeof foreign);
  foreign.reader.vendorId = record->reader.vendorId;
  foreign.reader.productId = record->reader.productId;
  return foreign;
}

static NTSTATUS Control(ULONG code, const TsimPlugRecord* record) {
  const TsimPlugRecord foreign = ForeignRecord(record);
  switch (code) {
    case TSIM_IOCTL_PLUG:
      return ValidReader(record) ? Plug(record, FALSE) : STATUS_INVALID_PARAMETER;
    case TSIM_IOCTL_UNPLUG:
      return ValidReaderId(record) ? UnplugFound(record, FALSE) : STATUS_INVALID_PARAMETER;
    case TSIM_IOCTL_PLUG_FOREIGN:
      return foreign.reader.vendorId == TSIM_TOLVANE_VENDOR_ID ? STATUS_INVALID_PARAMETER : Plug(&foreign, TRUE);
    case TSIM_IOCTL_UNPLUG_FOREIGN:
      return UnplugFound(&foreign, TRUE);
    default:
      return STATUS_INVALID_DEVICE_REQUEST;
  }
}

void AttachedDevicesInit(PDRIVER_OBJECT driver) {
  driverObject = driver;
  KeInitializeEvent(&turn, SynchronizationEvent, TRUE);
}

void AttachedDevicesStarted(PDEVICE_OBJECT physicalDevice) {
  Lock();
  rootDevice = physicalDevice;
  Unlock();
}

void AttachedDevicesRemoveAll(void) {
  Lock();
  for (int i = 0; i < MAX_ATTACHED; ++i) {
    if (attached[i].used) Unplug(&attached[i]);
  }
  rootDevice = NULL;
  InterfaceLinksRemoved();
  Unlock();
}

NTSTATUS AttachedDevicesControl(ULONG code, const void* input, ULONG inputSize) {
  if (code != TSIM_IOCTL_PLUG && code != TSIM_IOCTL_UNPLUG && code != TSIM_IOCTL_PLUG_FOREIGN &&
      code != TSIM_IOCTL_UNPLUG_FOREIGN) {
    return STATUS_INVALID_DEVICE_REQUEST;
  }
  if (!input || inputSize != sizeof(TsimPlugRecord)) return STATUS_INVALID_PARAMETER;
  TsimPlugRecord record;
  RtlCopyMemory(&record, input, sizeof record);
  Lock();
  const NTSTATUS status = Control(code, &record);
  Unlock();
  return status;
}

NTSTATUS ReaderOpened(PDEVICE_OBJECT device, PFILE_OBJECT file) {
  ReaderExtension* reader = device->DeviceExtension;
  NTSTATUS status = STATUS_DEVICE_NOT_CONNECTED;
  Lock();
  if (!reader->unplugged) {
    ++reader->handles;
    file->FsContext = (PVOID)(ULONG_PTR)reader->plugging;
    status = STATUS_SUCCESS;
  }
  Unlock();
  return status;
}

void ReaderClosed(PDEVICE_OBJECT device) {
  ReaderExtension* reader = device->DeviceExtension;
  Lock();
  if (--reader->handles == 0 && reader->unplugged) IoDeleteDevice(device);
  Unlock();
}

BOOLEAN ReaderOfHandle(PDEVICE_OBJECT device, PFILE_OBJECT file, TsimUsbReader* usb) {
  const ReaderExtension* reader = device->DeviceExtension;
  Lock();
  const BOOLEAN attached = !reader->unplugged && file->FsContext == (PVOID)(ULONG_PTR)reader->plugging;
  if (attached) *usb = reader->record.reader;
  Unlock();
  return attached;
}
