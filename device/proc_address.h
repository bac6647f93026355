// GetProcAddress with the export's real type. Casting through the generic
// function type `void (*)()` is the sanctioned way to change a function
// pointer's type; the caller must name the type the export really has.
#pragma once

#include "platform/win32.h"

template <typename Function>
Function ProcAddressAs(HMODULE module, LPCSTR name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
