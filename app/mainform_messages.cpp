// The window's message dispatch. Messages that arrive while a stop waits for
// the capture worker are held and handled, in order, once the stop is done:
// they would start, capture or release the reader under the stop.
#include <algorithm>
#include <cstring>

#include "app/device_broadcast.h"
#include "app/mainform.h"

namespace {

constexpr size_t kNotificationFilterSize = 288;
// A broadcast record is a header and a device name; a size beyond this is no
// record the system sends.
constexpr size_t kMaxHeldRecordSize = 64 * 1024;

// A held message is answered as it would have been: a device change or power
// broadcast with TRUE, the others with 0.
LRESULT HeldAnswer(UINT message) {
  return message == WM_POWERBROADCAST || message == WM_DEVICECHANGE ? TRUE : 0;
}

}  // namespace

LRESULT TForm1::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  const bool holdable = message == WM_POWERBROADCAST || message == WM_DEVICECHANGE ||
                        message == kFingerDetectedMessage || message == WM_CLOSE;
  if (holdable && CaptureStopping) {
    HoldMessage(message, wParam, lParam);
    return HeldAnswer(message);
  }
  switch (message) {
    case WM_POWERBROADCAST:
      return HandlePowerBroadcast(wParam);
    case WM_DEVICECHANGE:
      return HandleDeviceChange(wParam, lParam);
    case kFingerDetectedMessage:
      HandleFingerDetected(wParam);
      return 0;
    case WM_CLOSE:
      // As the form library answers it: the window closes, and with it the program.
      Window->Close();
      return 0;
    default:
      return 0;
  }
}

// The record a device change carries lives only as long as its dispatch: a
// held one keeps a copy, as long as the record's own size field says.
void TForm1::HoldMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  HeldMessage held{message, wParam, {}};
  const auto* header = message == WM_DEVICECHANGE ? reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam) : nullptr;
  if (header) {
    DWORD size = 0;
    std::memcpy(&size, header, sizeof size);
    const auto* bytes = reinterpret_cast<const uint8_t*>(header);
    held.record.assign(bytes, bytes + std::clamp<size_t>(size, sizeof(DEV_BROADCAST_HDR), kMaxHeldRecordSize));
  }
  heldMessages_.push_back(std::move(held));
}

void TForm1::HandleHeldMessages() {
  while (!heldMessages_.empty() && !CaptureStopping) {
    HeldMessage held = std::move(heldMessages_.front());
    heldMessages_.pop_front();
    const LPARAM record = held.record.empty() ? 0 : reinterpret_cast<LPARAM>(held.record.data());
    WindowProc(held.message, held.wParam, record);
  }
}

// Only arrivals and removals of device interfaces are looked at: volumes and
// ports reach a top-level window too, without a device-interface name.
LRESULT TForm1::HandleDeviceChange(WPARAM event, LPARAM record) {
  if (AutoRefresh->Checked() && (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(record);
    if (NamesFamilyReader(DeviceInterfaceName(header))) ResetForDeviceChange();
  }
  return TRUE;
}

// A failed registration is silent: plugging readers then no longer refreshes.
void TForm1::RegisterDeviceChange() {
  DEV_BROADCAST_DEVICEINTERFACE head{};
  head.dbcc_size = kNotificationFilterSize;
  head.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  head.dbcc_classguid = GUID_DEVINTERFACE_USB_DEVICE;
  alignas(DEV_BROADCAST_DEVICEINTERFACE) uint8_t filter[kNotificationFilterSize] = {};
  std::memcpy(filter, &head, offsetof(DEV_BROADCAST_DEVICEINTERFACE, dbcc_name));
  DeviceNotify = RegisterDeviceNotificationA(Handle, filter, DEVICE_NOTIFY_WINDOW_HANDLE);
}

void TForm1::UnregisterDeviceChange() {
  if (!DeviceNotify) return;
  UnregisterDeviceNotification(DeviceNotify);
  DeviceNotify = nullptr;
}
