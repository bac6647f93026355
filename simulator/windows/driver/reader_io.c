/* A reader's device I/O control calls: the answers of usb_answer_core.h with
 * the statuses a Windows driver gives. */
#include "simulator/windows/driver/driver.h"

NTSTATUS ReaderControl(PDEVICE_OBJECT device, PIRP irp, ULONG_PTR* answered) {
  const PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  const ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  const ULONG inputSize = stack->Parameters.DeviceIoControl.InputBufferLength;
  const ULONG outputSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
  const uint8_t* input = irp->AssociatedIrp.SystemBuffer;
  uint8_t* output = NULL;
  TsimUsbReader reader;
  *answered = 0;
  if (!ReaderOfHandle(device, stack->FileObject, &reader)) return STATUS_DEVICE_NOT_CONNECTED;
  switch (code & 3) {
    case METHOD_BUFFERED:
      output = irp->AssociatedIrp.SystemBuffer;
      break;
    case METHOD_IN_DIRECT:
    case METHOD_OUT_DIRECT:
      if (outputSize) {
        if (!irp->MdlAddress) return STATUS_INVALID_PARAMETER;
        output = MmGetSystemAddressForMdlSafe(irp->MdlAddress, NormalPagePriority);
        if (!output) return STATUS_INSUFFICIENT_RESOURCES;
      }
      break;
    default:
      /* No code of the channel hands the driver raw caller addresses. */
      return STATUS_INVALID_DEVICE_REQUEST;
  }
  size_t size = 0;
  switch (TsimAnswerControl(&reader, code, input, inputSize, output, outputSize, &size)) {
    case TSIM_ANSWERED:
      *answered = size;
      return STATUS_SUCCESS;
    case TSIM_BAD_REQUEST:
      return STATUS_INVALID_PARAMETER;
    case TSIM_BUFFER_TOO_SMALL:
      return STATUS_BUFFER_TOO_SMALL;
    case TSIM_UNKNOWN_CODE:
      break;
  }
  return STATUS_INVALID_DEVICE_REQUEST;
}
