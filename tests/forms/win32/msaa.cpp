// <windows.h> first: the accessibility header builds on it.
#include "platform/win32.h"

#include "tests/forms/win32/msaa.h"

#include <oleacc.h>

namespace probe::win32 {
namespace {

std::string Narrow(BSTR text) {
  if (!text) return {};
  const int length = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  narrow.resize(narrow.size() - 1);
  SysFreeString(text);
  return narrow;
}

}  // namespace

Accessible ReadAccessible(HWND window) {
  IAccessible* accessible = nullptr;
  if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                        reinterpret_cast<void**>(&accessible)))) {
    return {"<no accessible object>", {}};
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr;
  BSTR value = nullptr;
  accessible->get_accName(self, &name);
  accessible->get_accValue(self, &value);
  accessible->Release();
  return {Narrow(name), Narrow(value)};
}

}  // namespace probe::win32
