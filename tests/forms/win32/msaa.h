// What a screen reader reads of a window through MSAA, in this process or
// another one.
#pragma once

#include <string>

#include "platform/win32.h"

namespace probe::win32 {

struct Accessible {
  std::string name;
  std::string value;
};

Accessible ReadAccessible(HWND window);

}  // namespace probe::win32
