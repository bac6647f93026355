/* The simulated workstation's kernel driver: its control device, its
 * function device on the root device, and the routing of requests to them
 * and to the readers' device objects. */
#include "simulator/windows/driver/driver.h"

DRIVER_INITIALIZE DriverEntry;

static DeviceKind KindOf(PDEVICE_OBJECT device) { return *(const DeviceKind*)device->DeviceExtension; }

static NTSTATUS Complete(PIRP irp, NTSTATUS status, ULONG_PTR information) {
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS DispatchCreate(PDEVICE_OBJECT device, PIRP irp) {
  NTSTATUS status = STATUS_SUCCESS;
  if (KindOf(device) == kReaderDevice) status = ReaderOpened(device, IoGetCurrentIrpStackLocation(irp)->FileObject);
  return Complete(irp, status, 0);
}

static NTSTATUS DispatchClose(PDEVICE_OBJECT device, PIRP irp) {
  const DeviceKind kind = KindOf(device);
  Complete(irp, STATUS_SUCCESS, 0);
  if (kind == kReaderDevice) ReaderClosed(device); /* may delete the device */
  return STATUS_SUCCESS;
}

static NTSTATUS DispatchControl(PDEVICE_OBJECT device, PIRP irp) {
  const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  ULONG_PTR answered = 0;
  NTSTATUS status = STATUS_INVALID_DEVICE_REQUEST;
  if (KindOf(device) == kControlDevice) {
    status = AttachedDevicesControl(stack->Parameters.DeviceIoControl.IoControlCode, irp->AssociatedIrp.SystemBuffer,
                                    stack->Parameters.DeviceIoControl.InputBufferLength);
  } else if (KindOf(device) == kReaderDevice) {
    status = ReaderControl(device, irp, &answered);
  }
  return Complete(irp, status, answered);
}

static NTSTATUS PassDown(BusExtension* bus, PIRP irp) {
  IoSkipCurrentIrpStackLocation(irp);
  return IoCallDriver(bus->lower, irp);
}

static NTSTATUS DispatchPnp(PDEVICE_OBJECT device, PIRP irp) {
  if (KindOf(device) != kBusDevice) return Complete(irp, STATUS_NOT_SUPPORTED, 0);
  BusExtension* bus = device->DeviceExtension;
  NTSTATUS status;
  switch (IoGetCurrentIrpStackLocation(irp)->MinorFunction) {
    case IRP_MN_START_DEVICE:
      irp->IoStatus.Status = STATUS_SUCCESS;
      status = PassDown(bus, irp);
      if (NT_SUCCESS(status)) AttachedDevicesStarted(bus->physical);
      return status;
    case IRP_MN_SURPRISE_REMOVAL:
      AttachedDevicesRemoveAll();
      irp->IoStatus.Status = STATUS_SUCCESS;
      return PassDown(bus, irp);
    case IRP_MN_REMOVE_DEVICE: {
      const PDEVICE_OBJECT lower = bus->lower;
      AttachedDevicesRemoveAll();
      irp->IoStatus.Status = STATUS_SUCCESS;
      status = PassDown(bus, irp);
      IoDetachDevice(lower);
      IoDeleteDevice(device);
      return status;
    }
    case IRP_MN_QUERY_REMOVE_DEVICE:
    case IRP_MN_CANCEL_REMOVE_DEVICE:
    case IRP_MN_QUERY_STOP_DEVICE:
    case IRP_MN_CANCEL_STOP_DEVICE:
    case IRP_MN_STOP_DEVICE:
      irp->IoStatus.Status = STATUS_SUCCESS;
      return PassDown(bus, irp);
    default:
      return PassDown(bus, irp);
  }
}

static NTSTATUS AddDevice(PDRIVER_OBJECT driver, PDEVICE_OBJECT physical) {
  PDEVICE_OBJECT device = NULL;
  const NTSTATUS status =
      IoCreateDevice(driver, sizeof(BusExtension), NULL, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  BusExtension* bus = device->DeviceExtension;
  bus->kind = kBusDevice;
  bus->physical = physical;
  bus->lower = IoAttachDeviceToDeviceStack(device, physical);
  if (!bus->lower) {
    IoDeleteDevice(device);
    return STATUS_NO_SUCH_DEVICE;
  }
  device->Flags &= ~DO_DEVICE_INITIALIZING;
  return STATUS_SUCCESS;
}

static void Unload(PDRIVER_OBJECT driver) {
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, TSIM_CONTROL_LINK_NAME);
  IoDeleteSymbolicLink(&link);
  AttachedDevicesRemoveAll();
  /* The control device, and readers unplugged whose handles were never closed. */
  for (PDEVICE_OBJECT device = driver->DeviceObject, next; device; device = next) {
    next = device->NextDevice;
    IoDeleteDevice(device);
  }
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
  UNICODE_STRING name, link;
  PDEVICE_OBJECT control = NULL;
  (void)registryPath;
  RtlInitUnicodeString(&name, TSIM_CONTROL_DEVICE_NAME);
  RtlInitUnicodeString(&link, TSIM_CONTROL_LINK_NAME);
  NTSTATUS status =
      IoCreateDevice(driver, sizeof(DeviceKind), &name, FILE_DEVICE_UNKNOWN, FILE_DEVICE_SECURE_OPEN, FALSE, &control);
  if (!NT_SUCCESS(status)) return status;
  *(DeviceKind*)control->DeviceExtension = kControlDevice;
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(control);
    return status;
  }
  control->Flags &= ~DO_DEVICE_INITIALIZING;
  AttachedDevicesInit(driver);
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreate;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchControl;
  driver->MajorFunction[IRP_MJ_PNP] = DispatchPnp;
  driver->DriverExtension->AddDevice = AddDevice;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}
