// The window's message dispatch: messages posted through the platform layer
// arrive as one Qt event and are handed, in order, to WindowProc.
#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <cstring>

#include "app/device_broadcast.h"
#include "app/mainform.h"

namespace {

constexpr size_t kNotificationFilterSize = 288;

QEvent::Type PostedMessagesEvent() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

}  // namespace

void TForm1::MessagesPosted() {
  QCoreApplication::postEvent(this, new QEvent(PostedMessagesEvent()));
}

void TForm1::SurfaceChanged() {}

bool TForm1::event(QEvent* event) {
  if (event->type() == PostedMessagesEvent()) {
    // A stop of continuous capture keeps dispatching events while it waits;
    // messages that would start, capture or release the reader wait until it is done.
    if (CaptureStopping) {
      PostedMessagesDeferred = true;
    } else {
      platform::DispatchPostedMessages(Handle);
    }
    return true;
  }
  return QMainWindow::event(event);
}

LRESULT TForm1::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
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
      close();
      return 0;
    default:
      return 0;
  }
}

// Only arrivals and removals of device interfaces are looked at: volumes and
// ports reach a top-level window too, without a device-interface name.
LRESULT TForm1::HandleDeviceChange(WPARAM event, LPARAM record) {
  if (AutoRefresh->isChecked() && (event == DBT_DEVICEARRIVAL || event == DBT_DEVICEREMOVECOMPLETE)) {
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
