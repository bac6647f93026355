// What a screen reader reads of a window through MSAA, and the window behind
// a component of the Win32 toolkit.
#pragma once

#include <string>

#include "forms/components.h"
#include "platform/win32.h"

namespace probe::win32 {

struct Accessible {
  std::string name;
  std::string value;
};

Accessible ReadAccessible(HWND window);

HWND WindowOf(const forms::TControl* control);

}  // namespace probe::win32
