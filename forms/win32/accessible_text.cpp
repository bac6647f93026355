#include "forms/win32/accessible_text.h"

#include <initguid.h>
#include <oleacc.h>

namespace forms::win32 {

namespace {

std::wstring Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}

// Where the service is missing (it needs the thread's COM), the control keeps
// the name the system gives it.
void SetProperty(HWND window, const MSAAPROPID& property, const std::string& text) {
  IAccPropServices* services = nullptr;
  if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                              reinterpret_cast<void**>(&services)))) {
    return;
  }
  if (text.empty()) {
    services->ClearHwndProps(window, OBJID_CLIENT, CHILDID_SELF, &property, 1);
  } else {
    services->SetHwndPropStr(window, OBJID_CLIENT, CHILDID_SELF, property, Wide(text).c_str());
  }
  services->Release();
}

}  // namespace

void SetAccessibleName(HWND window, const std::string& name) { SetProperty(window, PROPID_ACC_NAME, name); }

void SetAccessibleDescription(HWND window, const std::string& description) {
  SetProperty(window, PROPID_ACC_DESCRIPTION, description);
}

}  // namespace forms::win32
